# The tool test runs the built repeta-sentences.
if(TARGET sentences_tst_tool)
    target_compile_definitions(sentences_tst_tool PRIVATE REPETA_SENTENCES_TOOL="$<TARGET_FILE:repeta-sentences>")
    add_dependencies(sentences_tst_tool repeta-sentences)
endif()
