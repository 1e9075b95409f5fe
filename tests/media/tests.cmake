# Every media test runs the engine's or the queue's threads: all of them also
# run under ThreadSanitizer.
set(media_tests media_tst_queue media_tst_timeline media_tst_sound media_tst_marks media_tst_seek
    media_tst_engine media_tst_nosound media_tst_video media_tst_offscreen media_tst_speed)
foreach(test IN LISTS media_tests)
    if(TEST ${test})
        set_property(TEST ${test} APPEND PROPERTY LABELS threads)
    endif()
endforeach()

# No sound server at all.
if(TEST media_tst_nosound)
    set_tests_properties(media_tst_nosound PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;PULSE_SERVER=unix:/nonexistent")
endif()

# The video surface needs X and OpenGL.
if(TEST media_tst_video)
    set_tests_properties(media_tst_video PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8")
endif()
