gh_add_fuzzer(fuzz_command_line ${CMAKE_CURRENT_LIST_DIR}/command_line_fuzz.cpp gh_cli)
gh_add_fuzzer(fuzz_inspect ${CMAKE_CURRENT_LIST_DIR}/inspect_fuzz.cpp gh_cli)
