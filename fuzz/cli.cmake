gh_add_fuzzer(fuzz_command_line ${CMAKE_CURRENT_LIST_DIR}/command_line_fuzz.cpp gh_cli)
