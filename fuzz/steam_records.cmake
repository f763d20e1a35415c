gh_add_fuzzer(fuzz_steam_records ${CMAKE_CURRENT_LIST_DIR}/steam_records_fuzz.cpp gh_workshop)
