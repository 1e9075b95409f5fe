# The export dialog reads its skin beside the executable, as the program does.
add_dependencies(export_tst_exporter skin_test_data)
