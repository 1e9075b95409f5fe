# Tests that start the real program in a data folder prepared with the sample content.
function(repeta_program_test name)
    target_compile_definitions(${name} PRIVATE REPETA_BINARY="$<TARGET_FILE:repeta>"
        REPETA_PREPARE_DATA="${PROJECT_SOURCE_DIR}/scripts/prepare-data.sh"
        REPETA_SAMPLES_DIR="$<TARGET_PROPERTY:sample_content,SAMPLES_DIR>")
    add_dependencies(${name} repeta sample_content)
endfunction()
repeta_program_test(app_tst_startup)
# The main window reads its skin beside the executable, as the program does.
add_dependencies(app_tst_dialog skin_test_data)
target_compile_definitions(app_tst_dialog PRIVATE REPETA_VERSION="${PROJECT_VERSION}")
# Installs this build into a scratch prefix and starts the installed launcher.
target_sources(app_tst_install PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Launcher.h ${CMAKE_CURRENT_LIST_DIR}/Launcher.cpp)
target_compile_definitions(app_tst_install PRIVATE REPETA_BUILD_DIR="${CMAKE_BINARY_DIR}"
    REPETA_CMAKE="${CMAKE_COMMAND}" REPETA_APP_ID="${REPETA_APP_ID}")
add_dependencies(app_tst_install repeta sample_content skin_data theme_icons man_pages)
# Drives the real program through the X display and the sound server; keeps a
# screenshot of each step in the artifacts folder.
repeta_program_test(app_tst_endtoend)
target_sources(app_tst_endtoend PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Desktop.h ${CMAKE_CURRENT_LIST_DIR}/Desktop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramRun.h ${CMAKE_CURRENT_LIST_DIR}/ProgramRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenMap.h ${CMAKE_CURRENT_LIST_DIR}/ScreenMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundMatch.h ${CMAKE_CURRENT_LIST_DIR}/SoundMatch.cpp)
target_compile_definitions(app_tst_endtoend PRIVATE REPETA_ARTIFACTS_DIR="${CMAKE_BINARY_DIR}/artifacts/endtoend")
# Its twins of the program's windows read their skin beside the test.
add_dependencies(app_tst_endtoend skin_test_data)
# Drives the real program by its keys through the X display and the sound server.
repeta_program_test(app_tst_keys)
target_sources(app_tst_keys PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Desktop.h ${CMAKE_CURRENT_LIST_DIR}/Desktop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramRun.h ${CMAKE_CURRENT_LIST_DIR}/ProgramRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenMap.h ${CMAKE_CURRENT_LIST_DIR}/ScreenMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundMatch.h ${CMAKE_CURRENT_LIST_DIR}/SoundMatch.cpp)
add_dependencies(app_tst_keys skin_test_data)
# Builds the Debian package of this build, installs it with dpkg, starts the
# installed program and removes the package.
target_sources(app_tst_package PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Launcher.h ${CMAKE_CURRENT_LIST_DIR}/Launcher.cpp)
target_link_libraries(app_tst_package PRIVATE Qt6::Xml)
target_compile_definitions(app_tst_package PRIVATE REPETA_BUILD_DIR="${CMAKE_BINARY_DIR}"
    REPETA_CPACK="${CMAKE_CPACK_COMMAND}" REPETA_VERSION="${PROJECT_VERSION}" REPETA_APP_ID="${REPETA_APP_ID}"
    REPETA_SCREENSHOT_BASE="${REPETA_SCREENSHOT_BASE}" REPETA_SCREENSHOTS_DIR="${PROJECT_SOURCE_DIR}/install/screenshots")
set_tests_properties(app_tst_package PROPERTIES TIMEOUT 600)
add_dependencies(app_tst_package repeta repeta-sentences repeta-compare sample_content skin_data theme_icons man_pages)
