#!/usr/bin/env bash
# The Windows build of the launcher end to end, as a player meets it, under
# Wine on a display of its own (run it through tools/with-display.sh):
#
#   windows_end_to_end.sh GATEHOUSE.EXE GATEHOUSE.COM DEMO.EXE STANDIN.EXE VERSION WORK-FOLDER
#
# WORK-FOLDER receives the demo world (tools/demo), whose game folder gets
# the stand-in game as its Emberwake2.exe. The windows are driven from
# outside, with the keys and clicks of xdotool on the display:
#   0. Both programs carry VERSION (the project's) in their version
#      information, as the launcher's own reader sees it in a game file.
#   1. Gatehouse.exe, started as Steam's launch options "Gatehouse.exe
#      %command%" start it (the game's command line after the options):
#      the start window syncs the local Workshop; once every
#      subscription is installed, play with mods (Tab Tab Space: the tab
#      order is play, close, play with mods, and Enter always plays without
#      mods); the manager opens with the last launched selection; Down and
#      Space add the first mod; Enter plays.
#      The game gets MODSCHEME=GATEHOUSE.SCH and reads a UTF-16 LE file with
#      a mark and CR LF line ends that holds the selection in order.
#   2. gatehouse.com: `sync` finds every subscription up to date, `list` and
#      `list --json` see the game's version and the new mods.
#   3. Gatehouse.exe again: play with mods with the mouse; the manager opens
#      with the selection of run 1; Enter plays it again.
#   4. gatehouse.com without a command opens the windows; Enter in the start
#      window plays without mods.
#   5. Gatehouse.exe with a command prints to its redirected output and ends
#      with the command's exit status.
set -euo pipefail

if [ $# -ne 6 ]; then
  sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
gui=$1 com=$2 demo=$3 standin=$4 version=$5 work=$6
[ -n "${DISPLAY:-}" ] || { echo "end-to-end: no DISPLAY (run through tools/with-display.sh)" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "end-to-end: xdotool is missing (tools/setup.sh installs it)" >&2; exit 1; }

step() { echo "--- $*"; }
fail() {
  echo "end-to-end: FAILED: $*" >&2
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $log:" >&2; cat "$log" >&2; }
  done
  exit 1
}
wine() { "$root/tools/wine-run.sh" "$@"; }
# A Linux path as Wine's programs name it.
windows_path() { echo "Z:$1"; }

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || fail "no $what within ${seconds}s"
    sleep 0.2
  done
}

# The visible window of the launcher's process whose title matches (the
# start window has none, the manager's is "Gatehouse").
window_named() { { xdotool search --all --onlyvisible --pid "$launcher" --name "$1" 2>/dev/null || true; } | head -n1; }
has_window() { [ -n "$(window_named "$1")" ]; }

# Types keys into a window. Without a window manager the keyboard goes to
# the window under the pointer, so the pointer rests on the window's own
# corner first, where no control is.
keys_to() {
  local window=$1
  shift
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 3)) $((Y + 3))
  sleep 0.3
  xdotool key --delay 150 "$@"
}

rm -rf "$work"
mkdir -p "$work"
world=$work/world
user="$world/documents/My Games/Velmora Games/Emberwake 2"
record=$work/record.txt
export GATEHOUSE_STANDIN_RECORD GATEHOUSE_STANDIN_DOCUMENTS
GATEHOUSE_STANDIN_RECORD=$(windows_path "$record")
GATEHOUSE_STANDIN_DOCUMENTS=$(windows_path "$world/documents")
options=(--documents "$(windows_path "$world/documents")" --game-folder "$(windows_path "$world/game")"
         --workshop "$(windows_path "$world/workshop")")

step "the demo world, with the stand-in as the game"
wine "$demo" "$(windows_path "$world")" >"$work/demo.log" 2>&1 || fail "the demo builder failed"
cp "$standin" "$world/game/Emberwake2.exe"

# run_windows LOG PROGRAM ARGS...: starts the windowed launcher in the
# background; `launcher` is its process.
run_windows() {
  local log=$1
  shift
  rm -f "$record"
  # wine-run.sh becomes Wine, so the process is the one owning the windows.
  "$root/tools/wine-run.sh" "$@" >"$work/$log" 2>&1 &
  launcher=$!
}

# Waits for the launcher to end and for the game it started to record.
wait_for_game() {
  local end=$((SECONDS + 60))
  while kill -0 "$launcher" 2>/dev/null; do
    [ $SECONDS -lt $end ] || fail "the launcher did not end"
    sleep 0.2
  done
  wait "$launcher" || fail "the launcher ended with status $?"
  wait_for 30 "record of the game start" test -s "$record"
}

# Play with mods from the keyboard, once the sync has ended (the button
# takes no focus while it is disabled, and the keys would reach another).
keys_play_with_mods() {
  keys_to "$(window_named '^$')" Tab Tab space
  wait_for 30 "mod manager" has_window '^Gatehouse$'
}

# Play with mods with the mouse, whenever the sync ends: a click on the
# disabled button does nothing, so the click is repeated until the manager
# is up. The button's centre: (47, 159) + (177, 44) / 2 at 96 dpi.
click_play_with_mods() {
  wait_for 60 "start window" has_window '^$'
  local end=$((SECONDS + 60))
  until has_window '^Gatehouse$'; do
    [ $SECONDS -lt $end ] || fail "play with mods did not open the manager"
    local start
    start=$(window_named '^$')
    # The window may close between the search and the click.
    if [ -n "$start" ] && geometry=$(xdotool getwindowgeometry --shell "$start" 2>/dev/null); then
      eval "$geometry"
      xdotool mousemove $((X + 135)) $((Y + 181)) click 1
    fi
    sleep 0.5
  done
}

installed() {  # installed NAME: the Workshop's copy is in the mods folder
  cmp -s "$world/workshop/content/$1" "$user/mods/Workshop/$1"
}

step "0. the programs' version information"
mkdir -p "$work/versioned"
for program in "$gui" "$com"; do
  cp "$program" "$work/versioned/Emberwake2.exe"
  wine "$com" --game-folder "$(windows_path "$work/versioned")" --documents "$(windows_path "$work/versioned")" \
    list --json >"$work/version.log" 2>&1 || fail "list on $(basename "$program") ended with status $?"
  grep -q "\"gameVersion\": *\"$version.0\"" "$work/version.log" ||
    fail "$(basename "$program") does not carry the version $version"
done
rm -rf "$work/versioned"

step "1. Gatehouse.exe as Steam starts it: sync, play with mods, the manager adds a mod, play"
run_windows gui-1.log "$gui" "${options[@]}" "$(windows_path "$world/game/Emberwake2.exe")" -windowed
wait_for 60 "start window" has_window '^$'
# The sync installs the missing and the outdated subscription; play with
# mods is enabled once every subscription is up to date.
wait_for 60 "install of River Maps.mod" installed "River Maps.mod"
wait_for 60 "install of Night Raids.mod" installed "Night Raids.mod"
sleep 1
keys_play_with_mods
# The manager opens with the last launched selection, its mod list focused;
# Down highlights the first row, Space checks it, Enter plays.
keys_to "$(window_named '^Gatehouse$')" Down space Return
wait_for_game
grep -q "^argument 1: MODSCHEME=GATEHOUSE.SCH$" "$record" || fail "the game was not started with the selection: $(cat "$record")"
grep -q "^encoding: UTF-16 LE with mark, CR LF$" "$record" || fail "the selection file's encoding: $(cat "$record")"
# The demo's last selection (Harbor Lights, Bigger Armies, Winter Campaign),
# then the first row of the list: Better Interface.
expected=$'  [MODS]\n  \t<INTEGER64>MODGUID:1002\n  \t<INTEGER64>MODGUID:1004\n  \t<INTEGER64>MODGUID:1010\n  \t<INTEGER64>MODGUID:1012\n  [/MODS]'
selection=$(sed -n '/^encoding: /,$p' "$record" | tail -n +2)
[ "$selection" = "$expected" ] || fail "the game read the selection"$'\n'"$selection"$'\n'"expected"$'\n'"$expected"
[ "$(od -An -tx1 -N2 "$user/gatehouse.sch" | tr -d ' ')" = fffe ] || fail "gatehouse.sch has no UTF-16 LE mark"
cp "$record" "$work/record-1.txt"

step "2. gatehouse.com: sync, list"
wine "$com" "${options[@]}" sync >"$work/sync.log" 2>&1 || fail "sync after the windows' sync ended with status $?"
# The sync's last line comes before the blank line that leads to what changed.
[ "$(tr -d '\r' <"$work/sync.log" | sed '/^$/q' | grep -v '^$' | tail -n1)" = "All subscriptions up to date!" ] ||
  fail "sync did not end up to date"
grep -q "Downloading\|Installing" "$work/sync.log" && fail "sync downloaded again what the start window had installed"
wine "$com" "${options[@]}" list --json >"$work/list.log" 2>&1 || fail "list --json ended with status $?"
grep -q '"gameVersion": *"1.25.5.2"' "$work/list.log" || fail "list --json does not see the stand-in's version"
grep -q '"Night Raids"' "$work/list.log" || fail "list --json does not see the installed Night Raids"

step "3. Gatehouse.exe: the manager opens with the last selection; Enter plays it"
run_windows gui-3.log "$gui" "${options[@]}"
click_play_with_mods
keys_to "$(window_named '^Gatehouse$')" Return
wait_for_game
[ "$(sed -n '/^encoding: /,$p' "$record" | tail -n +2)" = "$expected" ] || fail "the second run played $(cat "$record")"

step "4. gatehouse.com without a command: the windows; Enter plays without mods"
run_windows com-4.log "$com" "${options[@]}"
wait_for 60 "start window" has_window '^$'
keys_to "$(window_named '^$')" Return
wait_for_game
grep -q "^Emberwake II stand-in started with 0 arguments$" "$record" || fail "play without mods: $(cat "$record")"

step "5. Gatehouse.exe with a command"
wine "$gui" "${options[@]}" list >"$work/gui-list.log" 2>&1 || fail "Gatehouse.exe list ended with status $?"
wine "$com" "${options[@]}" list >"$work/com-list.log" 2>&1 || fail "gatehouse.com list ended with status $?"
grep -q "Night Raids" "$work/gui-list.log" || fail "Gatehouse.exe list printed nothing useful"
cmp -s "$work/gui-list.log" "$work/com-list.log" || fail "Gatehouse.exe list and gatehouse.com list differ"
status=0
wine "$gui" no-such-command >"$work/usage.log" 2>&1 || status=$?
[ $status -eq 2 ] || fail "Gatehouse.exe with an unknown command ended with status $status, not 2"

rm -f "$work"/*.log
echo "end-to-end: passed"
