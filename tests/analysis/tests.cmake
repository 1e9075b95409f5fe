# The readings and the special takes, made once into the build tree by the
# generator that the comparison benchmark uses (about a second).
set(analysis_media ${CMAKE_BINARY_DIR}/analysismedia)
add_custom_command(OUTPUT ${analysis_media}/.complete
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/make_takes.sh ${analysis_media} 6 2 --extras
    COMMAND ${CMAKE_COMMAND} -E touch ${analysis_media}/.complete
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_takes.sh
    COMMENT "Generating the model sentences and takes")
add_custom_target(analysismedia DEPENDS ${analysis_media}/.complete)
foreach(test analysis_tst_compare)
    if(TARGET ${test})
        add_dependencies(${test} analysismedia repeta-compare)
        target_compile_definitions(${test} PRIVATE ANALYSIS_MEDIA_DIR="${analysis_media}"
            REPETA_COMPARE_TOOL="$<TARGET_FILE:repeta-compare>")
    endif()
endforeach()
