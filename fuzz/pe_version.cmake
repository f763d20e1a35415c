gh_add_fuzzer(fuzz_pe_version ${CMAKE_CURRENT_LIST_DIR}/pe_version_fuzz.cpp gatehouse_platform)
