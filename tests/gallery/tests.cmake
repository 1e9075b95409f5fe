# The gallery renders every drawn widget in each state into PNG files:
# `cmake --build . --target gallery` writes gallery/1x and gallery/2x. The
# test only checks that every picture could be rendered and written.
set(gallery_dir ${CMAKE_CURRENT_LIST_DIR})
add_executable(repeta_gallery
    ${gallery_dir}/Gallery.h ${gallery_dir}/Gallery.cpp ${gallery_dir}/ControlShots.cpp
    ${gallery_dir}/TabShots.cpp ${gallery_dir}/ViewShots.cpp)
target_link_libraries(repeta_gallery PRIVATE textview widgets resources Qt6::Widgets)

add_custom_target(gallery
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1
            $<TARGET_FILE:repeta_gallery> ${CMAKE_BINARY_DIR}/gallery/1x
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2
            $<TARGET_FILE:repeta_gallery> ${CMAKE_BINARY_DIR}/gallery/2x
    DEPENDS repeta_gallery
    COMMENT "Rendering the widget gallery"
    VERBATIM)

add_test(NAME gallery_render COMMAND repeta_gallery ${CMAKE_BINARY_DIR}/gallery/test)
set_tests_properties(gallery_render PROPERTIES
    LABELS gallery
    TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
