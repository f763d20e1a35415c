# Runs the built gatehouse executable as a player would, on a game folder
# holding the stand-in Steam library: `sync` without --workshop must sync
# through it, `list` must work beside it, and without it `sync` must report
# the failed start and end with status 1.
#   cmake -DGATEHOUSE=<exe> -DSTANDIN=<library> -DWORK=<scratch folder>
#         [-DEMULATOR=<runner>] [-DDRIVE=Z:] -P gatehouse_sync_check.cmake
foreach(required GATEHOUSE STANDIN WORK)
  if(NOT ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()
get_filename_component(library_name "${STANDIN}" NAME)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/game" "${WORK}/documents" "${WORK}/workshop/c")
file(WRITE "${WORK}/game/Emberwake2.exe" "not really a game")
file(COPY_FILE "${STANDIN}" "${WORK}/game/${library_name}")
file(WRITE "${WORK}/workshop/c/a.mod" "workshop a")
file(WRITE "${WORK}/workshop/workshop.json" [=[
{ "bytesPerSecond": 100000, "items": [
  { "id": 41, "fileName": "mods/a.mod", "content": "c/a.mod", "timeUpdated": 1733700000 } ] }
]=])

function(run_gatehouse status out err)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SteamAppId=734120 "GATEHOUSE_STANDIN_WORKSHOP=${DRIVE}${WORK}/workshop"
            ${EMULATOR} "${GATEHOUSE}" --documents "${DRIVE}${WORK}/documents" --game-folder "${DRIVE}${WORK}/game" ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error TIMEOUT 120)
  string(REPLACE "\r\n" "\n" output "${output}")
  set(${status} "${result}" PARENT_SCOPE)
  set(${out} "${output}" PARENT_SCOPE)
  set(${err} "${error}" PARENT_SCOPE)
endfunction()

run_gatehouse(status out err sync --timeout 60)
set(expected "Waiting for response from Steam...\nFound 1 mod subscriptions. Checking for updates.\nmods/a.mod - Not found. Installing.\nmods/a.mod - Updated! Writing to mod folder...\nAll subscriptions up to date!\n")
# The sync's own lines come first; what changed follows after a blank line.
string(FIND "${out}" "${expected}\nWhat changed" at)
if(NOT status EQUAL 0 OR NOT at EQUAL 0)
  message(FATAL_ERROR "sync through the stand-in: status ${status}\n--- out:\n${out}--- err:\n${err}")
endif()
file(READ "${WORK}/documents/My Games/Velmora Games/Emberwake 2/mods/a.mod" written)
if(NOT written STREQUAL "workshop a")
  message(FATAL_ERROR "the synced file holds '${written}'")
endif()

run_gatehouse(status out err list)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "list beside the stand-in: status ${status}\n${out}${err}")
endif()

file(REMOVE "${WORK}/game/${library_name}")
run_gatehouse(status out err sync --timeout 60)
if(NOT status EQUAL 1 OR NOT out MATCHES "^The Steam client failed to start: [^\n]*${library_name}[^\n]*\n$"
   OR NOT err MATCHES "SteamAPI_Init\\(\\) failed")
  message(FATAL_ERROR "sync without a library: status ${status}\n--- out:\n${out}--- err:\n${err}")
endif()
file(REMOVE_RECURSE "${WORK}")
