# Executables made by the MinGW-w64 resource compiler, linker and objcopy
# (PE32+ and PE32) with a version resource whose numbers the tests know: the
# version read is checked on files that our own writer did not make. The
# tests find them beside the test executable and skip when they are absent.
find_program(GH_MINGW_WINDRES x86_64-w64-mingw32-windres)
find_program(GH_MINGW_GCC NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc)
find_program(GH_MINGW_OBJCOPY x86_64-w64-mingw32-objcopy)
if(GH_MINGW_WINDRES AND GH_MINGW_GCC AND GH_MINGW_OBJCOPY)
  set(samples ${CMAKE_CURRENT_BINARY_DIR}/pe-samples)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/pe_samples)
  add_custom_command(
    OUTPUT ${samples}/versioned64.exe ${samples}/versioned32.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${samples}
    COMMAND ${GH_MINGW_WINDRES} ${source}/versioned.rc -O coff -o ${samples}/versioned.res.o
    COMMAND ${GH_MINGW_GCC} -nostdlib -e SampleEntry -o ${samples}/versioned64.exe ${source}/entry.c ${samples}/versioned.res.o
    COMMAND ${GH_MINGW_OBJCOPY} -O pei-i386 ${samples}/versioned64.exe ${samples}/versioned32.exe
    DEPENDS ${source}/versioned.rc ${source}/entry.c
    COMMENT "Building PE samples with the MinGW-w64 tools"
    VERBATIM)
  add_custom_target(platform_tests_pe_samples DEPENDS ${samples}/versioned64.exe ${samples}/versioned32.exe)
  add_dependencies(platform_tests platform_tests_pe_samples)
endif()

# Natively, the reader is also compared with the resource decompiler on the
# Windows executables that Debian's Wine packages install (the 32-bit folders
# first, so the sample holds PE32 files too).
if(GH_MINGW_WINDRES AND NOT CMAKE_CROSSCOMPILING)
  add_executable(version_probe ${CMAKE_CURRENT_SOURCE_DIR}/pe_samples/version_probe.cpp)
  target_link_libraries(version_probe PRIVATE gatehouse_platform gatehouse_warnings)
  add_test(NAME pe_version_matches_windres
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/pe_samples/compare_with_windres.sh $<TARGET_FILE:version_probe> ${GH_MINGW_WINDRES} 40
      /usr/lib/x86_64-linux-gnu/wine/i386-windows /usr/lib/i386-linux-gnu/wine/i386-windows
      /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  set_tests_properties(pe_version_matches_windres PROPERTIES SKIP_RETURN_CODE 77)
endif()
