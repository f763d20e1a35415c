gh_add_fuzzer(fuzz_header ${CMAKE_CURRENT_LIST_DIR}/header_fuzz.cpp gh_catalogue)
