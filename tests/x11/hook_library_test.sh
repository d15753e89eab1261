#!/usr/bin/env bash
# The desktop monitor on a real X server, driven with xdotool: hot keys in every lock state,
# second-window mode, typed characters for Trigwords, window activations, mouse hot keys,
# playback (injected keys ignored, Pause aborts, Execute ends it) and a grab another program
# holds. xdotool injects through XTest like the player does, so the user's cases run with the
# playing flag at 0.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

# Indices in the catalogue.
CTRL_ALT_A=144 CTRL_ALT_B=145 CTRL_ALT_C=146 F3=290 CTRL_LMOUSE=701 CAPS=32768

# start_monitor NAME: a monitor reading commands from NAME.in, writing NAME.out.
start_monitor() {
  mkfifo "$work/$1.in"
  "$X11_TEST_BIN/x11_hook_monitor" <"$work/$1.in" >"$work/$1.out" 2>"$work/$1.err" &
  pids+=($!)
  eval "${1}_pid=$!"
}
mark=0
seen() { tail -n +"$((mark + 1))" "$work/main.out" | grep -qx -- "$1"; }
expect() { wait_for 5 seen "$1" || fail "$2: expected '$1', got: $(tail -n +"$((mark + 1))" "$work/main.out" | tr '\n' '|')"; }
# Nothing of the form PATTERN after a quiet moment.
expect_none() {
  sleep 0.5
  ! tail -n +"$((mark + 1))" "$work/main.out" | grep -q -- "$1" ||
    fail "$2: unexpected $(tail -n +"$((mark + 1))" "$work/main.out" | grep -- "$1" | head -1)"
}
send() { echo "$*" >&3; sleep 0.3; }
next() { mark=$(wc -l <"$work/main.out"); }

# A window to type into, in front.
xmessage -title first "first" &
pids+=($!)
wait_for 10 xdotool search --name '^first$' || fail "no test window"
first=$(xdotool search --name '^first$' | head -1)
xdotool windowactivate --sync "$first"

start_monitor main
exec 3>"$work/main.in"
wait_for 5 grep -qx ready "$work/main.out" || fail "the monitor did not start: $(cat "$work/main.err")"
send keys "$CTRL_ALT_A,$F3,$CTRL_LMOUSE"
active=$(xdotool getactivewindow)

# Hot keys: plain, with NumLock, with Caps Lock (bit 15); a key not in use posts nothing.
next
xdotool key ctrl+alt+a
expect "user+2 $CTRL_ALT_A $active" "hot key"
next
xdotool key Num_Lock ctrl+alt+a Num_Lock
expect "user+2 $CTRL_ALT_A $active" "hot key with NumLock"
next
xdotool key Caps_Lock
expect "user+9 1 0" "Caps Lock on"
xdotool key ctrl+alt+a Caps_Lock
expect "user+2 $((CTRL_ALT_A | CAPS)) $active" "hot key with Caps Lock"
expect "user+9 0 0" "Caps Lock off"
next
xdotool key ctrl+alt+b F3
expect "user+2 $F3 $active" "F3"
expect_none "user+2 $CTRL_ALT_B" "a key not in use"

# xdotool types a character the keymap lacks by rebinding a spare keycode; the hot keys
# survive the keymap changes.
next
xdotool type "é"
sleep 0.3
xdotool key F3
expect "user+2 $F3 $active" "F3 after keymap changes"

# The hot key is posted only when its modifiers are up again, once however often its key
# went down meanwhile (auto-repeat); another hot key pressed meanwhile follows it.
next
xdotool keydown ctrl keydown alt key a key a key a
expect_none "user+2" "hot key with Ctrl and Alt still held"
xdotool keyup alt keyup ctrl
expect "user+2 $CTRL_ALT_A $active" "hot key after the modifiers' release"
sleep 0.3
[ "$(tail -n +"$((mark + 1))" "$work/main.out" | grep -c "^user+2")" -eq 1 ] ||
  fail "a held hot key posted more than once"
next
xdotool keydown ctrl keydown alt key a keyup alt keyup ctrl key F3
expect "user+2 $F3 $active" "a second hot key"
[ "$(tail -n +"$((mark + 1))" "$work/main.out" | grep "^user+2" | cut -d' ' -f2 | tr '\n' ' ')" = "$CTRL_ALT_A $F3 " ] ||
  fail "hot keys out of order"

# Second-window mode.
next
send second 1
xdotool key F3
expect "user+1 $F3 0" "hot key for the dialog"
expect_none "user+2" "second-window mode"
send second 0

# A mouse hot key, seen without taking the click; a plain click is no hot key.
next
xdotool keydown ctrl click 1 keyup ctrl
expect "user+2 $CTRL_LMOUSE $active" "Ctrl+LMouse"
next
xdotool click 1
expect_none "user+2" "a plain click"

# Typing reaches the program only while Trigwords are present.
next
xdotool type "ab"
expect_none "user+6" "typing without Trigwords"
send trigwords 1
next
xdotool type "aB1;"
xdotool key BackSpace Return Left
for line in "0 97" "0 66" "0 49" "0 59" "0 8" "0 13" "1 0"; do
  expect "user+6 $line" "typed characters"
done
next
xdotool key Caps_Lock type "q"
expect "user+6 2 81" "a letter typed with Caps Lock on"
xdotool key Caps_Lock
next
xdotool click 1
expect "user+6 1 0" "a click resets the typing"

# Window activations, with a reset of the typing.
xmessage -title second "second" &
pids+=($!)
wait_for 10 xdotool search --name '^second$' || fail "no second window"
second=$(xdotool search --name '^second$' | head -1)
xdotool windowactivate --sync "$first"
sleep 0.3
next
xdotool windowactivate --sync "$second"
expect "user+7 $second 0" "window activation"
expect "user+6 1 0" "activation resets the typing"
xdotool windowactivate --sync "$first"
active=$(xdotool getactivewindow)

# Playback: injected hot keys and typing count for nothing (a hot-key combination the
# player types reaches the focused window), Pause aborts, Execute ends it.
# presses_of KEYSYM: how many presses of that keysym xev's window received.
presses_of() { grep -A2 '^KeyPress' "$work/xev.txt" | grep -c "keysym $1,"; }
xev -event keyboard >"$work/xev.txt" 2>&1 &
pids+=($!)
wait_for 10 xdotool search --name '^Event Tester$' || fail "no xev window"
tester=$(xdotool search --name '^Event Tester$' | head -1)
xdotool windowactivate --sync "$tester"
send playing 1
next
xdotool key ctrl+alt+a
xdotool type "xy"
xdotool key Pause
expect "user+5 0 0" "Pause aborts the playback"
expect_none "user+2" "an injected hot key while playing"
expect_none "user+6 0" "injected typing while playing"
[ "$(presses_of 0x61)" -eq 1 ] || fail "the injected Ctrl+Alt+A did not reach the focused window"
# A playback started inside this one (a hot key during it) ends first: its end key leaves
# the flag up; the outer one's clears it.
send playing 1
xdotool key Execute
sleep 0.3
send playingflag
expect "playing 1" "the playing flag after the inner playback's end key"
next
xdotool key Execute
sleep 0.3
send playingflag
expect "playing 0" "Execute clears the playing flag"
next
xdotool key Pause ctrl+alt+a
expect "user+2 $CTRL_ALT_A $tester" "hot key after the playback"
expect_none "user+5" "Pause after the playback"
# The user's hot key is kept from the window; Pause is no longer taken.
[ "$(presses_of 0x61)" -eq 1 ] || fail "the hot key reached the window"
[ "$(presses_of 0xff13)" -eq 1 ] || fail "Pause is still grabbed after the playback"
xdotool windowactivate --sync "$first"

# A hot key another program holds is reported; the others are taken.
start_monitor holder
exec 4>"$work/holder.in"
wait_for 5 grep -qx ready "$work/holder.out" || fail "the second monitor did not start"
echo "keys $CTRL_ALT_C" >&4
sleep 0.5
next
send keys "$CTRL_ALT_A,$CTRL_ALT_C,$F3"
send unavailable
expect "unavailable $CTRL_ALT_C" "the grab held by another program"
xdotool key ctrl+alt+a
expect "user+2 $CTRL_ALT_A $active" "hot key next to a refused one"
echo quit >&4
exec 4>&-

# The monitor stops cleanly.
send quit
exec 3>&-
wait_for 5 exited "$main_pid" || fail "the monitor did not stop"
wait "$main_pid" || fail "the monitor exited with $?"
grep -qx stopped "$work/main.out" || fail "the monitor thread did not end"
echo "hook_library_test: passed"
