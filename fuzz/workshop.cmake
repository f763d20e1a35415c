gh_add_fuzzer(fuzz_manifest ${CMAKE_CURRENT_LIST_DIR}/manifest_fuzz.cpp gh_workshop)
