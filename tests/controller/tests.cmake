# Sentences found by pauses come from a scan thread of their own, beside the
# engine's: this suite also runs under ThreadSanitizer.
if(TEST controller_tst_sentencefiles)
    set_property(TEST controller_tst_sentencefiles APPEND PROPERTY LABELS threads)
endif()
