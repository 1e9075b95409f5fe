# The speech corpus and the takes, made once into the build tree by the same
# generator that the pause benchmark uses (a few seconds).
set(speech_media ${CMAKE_BINARY_DIR}/speechmedia)
set(speech_sentences 30)
add_custom_command(OUTPUT ${speech_media}/.complete
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/make_speech.sh ${speech_media} ${speech_sentences} --takes
    COMMAND ${CMAKE_COMMAND} -E touch ${speech_media}/.complete
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_speech.sh
    COMMENT "Generating the speech corpus")
add_custom_target(speechmedia DEPENDS ${speech_media}/.complete)
foreach(test speech_tst_pauses speech_tst_takes)
    if(TARGET ${test})
        add_dependencies(${test} speechmedia)
        target_compile_definitions(${test} PRIVATE SPEECH_MEDIA_DIR="${speech_media}")
    endif()
endforeach()
