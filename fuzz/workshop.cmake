gh_add_fuzzer(fuzz_manifest ${CMAKE_CURRENT_LIST_DIR}/manifest_fuzz.cpp gh_workshop)
gh_add_fuzzer(fuzz_workshop_record ${CMAKE_CURRENT_LIST_DIR}/workshop_record_fuzz.cpp gh_workshop)
