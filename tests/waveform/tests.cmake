# The extractor runs its requests on worker threads.
set_property(TEST waveform_tst_ploter waveform_tst_pictures APPEND PROPERTY LABELS threads)
