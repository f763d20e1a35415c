gh_add_fuzzer(fuzz_selection_file ${CMAKE_CURRENT_LIST_DIR}/selection_file_fuzz.cpp gh_selection)
gh_add_fuzzer(fuzz_share_code ${CMAKE_CURRENT_LIST_DIR}/share_code_fuzz.cpp gh_selection)
