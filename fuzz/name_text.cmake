gh_add_fuzzer(fuzz_name_text ${CMAKE_CURRENT_LIST_DIR}/name_text_fuzz.cpp gatehouse_platform)
