# The sample content test reads what the sample_content target generated,
# with the program's own LRC and list readers.
if(TARGET samples_tst_samples)
    target_link_libraries(samples_tst_samples PRIVATE sentences library)
    set(samples_dir ${CMAKE_BINARY_DIR}/samples/content)
    if(TARGET sample_content)
        get_target_property(samples_dir sample_content SAMPLES_DIR)
        add_dependencies(samples_tst_samples sample_content)
    endif()
    target_compile_definitions(samples_tst_samples PRIVATE REPETA_SAMPLES_DIR="${samples_dir}")
endif()
