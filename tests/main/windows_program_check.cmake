# Checks each Windows program with objdump -p:
#  - it imports only DLLs that every Windows has (from 7 on), so the one
#    file runs wherever it is put, with nothing installed beside it;
#  - it carries the application icon (the icon group GATEHOUSE), its version
#    information and its manifest.
#   cmake -DOBJDUMP=<x86_64-w64-mingw32-objdump> "-DPROGRAMS=<a.exe>;<b.com>" -P windows_program_check.cmake
cmake_minimum_required(VERSION 3.25)
foreach(required OBJDUMP PROGRAMS)
  if(NOT ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

# The DLLs of the system itself, in lower case.
set(system_dlls
  advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll gdi32.dll gdiplus.dll imm32.dll
  kernel32.dll msimg32.dll msvcrt.dll ntdll.dll ole32.dll oleacc.dll oleaut32.dll rpcrt4.dll secur32.dll
  setupapi.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll version.dll winhttp.dll winmm.dll
  winspool.drv ws2_32.dll)

# The resource types (top-level entries of objdump's resource listing):
# group icon 0x0e, version 0x10, manifest 0x18.
set(resource_types 00000e 000010 000018)
set(failures "")
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    string(APPEND failures "${program}: objdump failed (${status})\n")
    continue()
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  if(NOT imports)
    string(APPEND failures "${program}: objdump lists no imports\n")
  endif()
  set(names "")
  foreach(line IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    list(APPEND names ${dll})
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST system_dlls)
      string(APPEND failures "${program} needs ${dll}, which is not a DLL of the system\n")
    endif()
  endforeach()
  list(JOIN names " " names)
  message(STATUS "${program} imports ${names}")

  string(FIND "${dump}" "The .rsrc Resource Directory section" at)
  if(at LESS 0)
    string(APPEND failures "${program} has no resources\n")
    continue()
  endif()
  string(SUBSTRING "${dump}" ${at} -1 resources)
  foreach(type IN LISTS resource_types)
    if(NOT resources MATCHES "\n[0-9a-f]+   Entry: ID: 0x${type},")
      string(APPEND failures "${program} has no resource of type 0x${type}\n")
    endif()
  endforeach()
  # Explorer shows the first group icon, named ones first, sorted by name.
  if(NOT resources MATCHES "Entry: ID: 0x00000e,[^\n]*\n[^\n]*Name Table[^\n]*\n[0-9a-f]+     Entry: name: [^\n]*: GATEHOUSE,")
    string(APPEND failures "${program}: the first icon group is not GATEHOUSE\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
