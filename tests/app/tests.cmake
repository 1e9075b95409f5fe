target_compile_definitions(app_tst_startup PRIVATE REPETA_BINARY="$<TARGET_FILE:repeta>"
    REPETA_PREPARE_DATA="${PROJECT_SOURCE_DIR}/scripts/prepare-data.sh"
    REPETA_SAMPLES_DIR="$<TARGET_PROPERTY:sample_content,SAMPLES_DIR>")
add_dependencies(app_tst_startup repeta sample_content)
# The main window reads its skin beside the executable, as the program does.
add_dependencies(app_tst_dialog skin_test_data)
# Installs this build into a scratch prefix and starts the installed launcher.
target_compile_definitions(app_tst_install PRIVATE REPETA_BUILD_DIR="${CMAKE_BINARY_DIR}"
    REPETA_CMAKE="${CMAKE_COMMAND}")
add_dependencies(app_tst_install repeta sample_content skin_data)
