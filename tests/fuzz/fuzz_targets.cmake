# The fuzz targets: each is tests/fuzz/<name>_fuzz.cpp with its seed corpus in
# tests/fuzz/corpus/<name>/.
set(TOVIMAR_FUZZ_TARGETS fixed_format number_parse data_file run line_file measured_data design)
