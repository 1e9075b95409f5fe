# The recorder meets PortAudio's callback thread.
set_property(TEST record_tst_recorder APPEND PROPERTY LABELS threads)
# No sound server, hence no input device.
set_property(TEST record_tst_nodevice APPEND PROPERTY ENVIRONMENT "PULSE_SERVER=unix:/nonexistent")
