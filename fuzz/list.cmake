gh_add_fuzzer(fuzz_list ${CMAKE_CURRENT_LIST_DIR}/list_fuzz.cpp gh_cli gh_catalogue)
