# The density test checks the "@2x" pictures, so it runs at twice the density.
set_property(TEST widgets_tst_density APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
