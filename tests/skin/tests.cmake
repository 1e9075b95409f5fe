# The skins ship beside the executable; the tests read them beside theirs.
repeta_copy_skin_data(skin_test_data $<TARGET_FILE_DIR:skin_tst_frame>)
add_dependencies(skin_tst_frame skin_test_data)

# The frame on a real window system (the shape of a masked window), and drawn
# at twice the density.
set_tests_properties(skin_tst_frame PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8")
add_test(NAME skin_tst_frame_2x COMMAND skin_tst_frame)
set_tests_properties(skin_tst_frame_2x PROPERTIES LABELS skin FIXTURES_REQUIRED services TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2;LC_ALL=C.UTF-8")

# Moving and resizing through a real X server as well.
add_test(NAME skin_tst_resize_xcb COMMAND skin_tst_resize)
set_tests_properties(skin_tst_resize_xcb PROPERTIES LABELS skin FIXTURES_REQUIRED services TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8")
