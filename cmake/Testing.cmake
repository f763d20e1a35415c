# GoogleTest is built from the Debian source package with the same compiler
# and flags as the project (native, sanitizer and MinGW builds alike).
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
include(GoogleTest)

# gh_add_test_suite(NAME SOURCES... LIBS...)
# Natively every test is its own CTest entry; under an emulator (Wine) the
# whole suite is one entry, since starting Wine per test would dominate.
function(gh_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gh_test_support gmock gtest_main gatehouse_warnings)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES ENVIRONMENT "GATEHOUSE_TEST=1")
  endif()
endfunction()
