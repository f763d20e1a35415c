# The windows' toolkit as one interface target, gh_wxwidgets, whatever the
# system: include folders and definitions (which the Windows resource
# compiler gets too), compile options and the libraries.
#
# Linux: the system's wxGTK 3.2, found by CMake's FindwxWidgets.
# Windows (the MinGW-w64 cross build): the static wxMSW that
# tools/build-wxmsw.sh builds once into a cache, named by its wx-config:
#   -DGATEHOUSE_WX_CONFIG=$(tools/build-wxmsw.sh | tail -n1)
# Without it the Windows build goes on without the windows.
#
# Leaves GATEHOUSE_GUI OFF when there is no toolkit to build the windows with.

if(NOT GATEHOUSE_GUI)
  return()
endif()

add_library(gh_wxwidgets INTERFACE)

if(NOT WIN32)
  find_package(wxWidgets 3.2 COMPONENTS core base)
  if(NOT wxWidgets_FOUND)
    message(FATAL_ERROR "wxWidgets 3.2 was not found: run tools/setup.sh, or configure with -DGATEHOUSE_GUI=OFF")
  endif()
  target_include_directories(gh_wxwidgets SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(gh_wxwidgets INTERFACE ${wxWidgets_DEFINITIONS}
                             $<$<CONFIG:Debug>:${wxWidgets_DEFINITIONS_DEBUG}>)
  separate_arguments(gh_wx_cxx_flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
  target_compile_options(gh_wxwidgets INTERFACE ${gh_wx_cxx_flags})
  target_link_libraries(gh_wxwidgets INTERFACE ${wxWidgets_LIBRARIES})
  return()
endif()

set(GATEHOUSE_WX_CONFIG "" CACHE FILEPATH
    "wx-config of the static wxMSW to build the windows with (the last line tools/build-wxmsw.sh prints)")
if(NOT GATEHOUSE_WX_CONFIG)
  message(STATUS "No GATEHOUSE_WX_CONFIG: the Windows build has no windows")
  set(GATEHOUSE_GUI OFF)
  return()
endif()

# gh_wx_config(VARIABLE ARGS...): the words wx-config prints for ARGS.
function(gh_wx_config variable)
  execute_process(COMMAND ${GATEHOUSE_WX_CONFIG} ${ARGN}
                  OUTPUT_VARIABLE output ERROR_VARIABLE error RESULT_VARIABLE status
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${GATEHOUSE_WX_CONFIG} ${ARGN} failed (${status}): ${error}")
  endif()
  separate_arguments(words UNIX_COMMAND "${output}")
  set(${variable} ${words} PARENT_SCOPE)
endfunction()

gh_wx_config(gh_wx_cxx_flags --cxxflags)
foreach(word IN LISTS gh_wx_cxx_flags)
  if(word MATCHES "^-I(.+)")
    target_include_directories(gh_wxwidgets SYSTEM INTERFACE ${CMAKE_MATCH_1})
  elseif(word MATCHES "^-D(.+)")
    target_compile_definitions(gh_wxwidgets INTERFACE ${CMAKE_MATCH_1})
  else()
    target_compile_options(gh_wxwidgets INTERFACE ${word})
  endif()
endforeach()

# The subsystem is not the toolkit's to choose: the launcher is built both as
# a windowed program and as a console program (src/main), and the tests are
# console programs, so wx-config's -mwindows is left out.
gh_wx_config(gh_wx_libs --libs core,base)
foreach(word IN LISTS gh_wx_libs)
  if(word STREQUAL "-mwindows" OR word MATCHES "^-Wl,--subsystem,")
    continue()
  elseif(word MATCHES "^-L(.+)")
    target_link_directories(gh_wxwidgets INTERFACE ${CMAKE_MATCH_1})
  elseif(word MATCHES "^-l(.+)")
    target_link_libraries(gh_wxwidgets INTERFACE ${CMAKE_MATCH_1})
  elseif(word MATCHES "^-")
    target_link_options(gh_wxwidgets INTERFACE ${word})
  else()
    target_link_libraries(gh_wxwidgets INTERFACE ${word})
  endif()
endforeach()
message(STATUS "The windows are built with the wxMSW of ${GATEHOUSE_WX_CONFIG}")
