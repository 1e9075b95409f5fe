target_compile_definitions(app_tst_startup PRIVATE REPETA_BINARY="$<TARGET_FILE:repeta>")
add_dependencies(app_tst_startup repeta)
