#!/usr/bin/env bash
# The running program on a real desktop, driven with xdotool (whose keys count as the user's
# while nothing plays): a start-up macro, a global hot key in every lock state, a window macro
# on the same key, a Trigword, macros whose own keys look like a hot key or a Trigword, and
# Pause/Break during a long macro.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
make_home
quillomat_pid="" receiver_pid="" pids=()
trap 'for p in $quillomat_pid $receiver_pid "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
      rm -rf "$work"' EXIT
setxkbmap us

# record NICKNAME ACTIVATION SCOPE SCOPE_NAME TRIGWORD TEXT [TOP_MOST_ONLY]: the next record.
n=0
record() {
  n=$((n + 1))
  macro_record "$n" "$@"
}
# Catalogue indices and activations. Ctrl+Alt+F1..F12 switch virtual terminals: the X server
# takes them before any grab.
CTRL_ALT_H=151 CTRL_ALT_J=153 CTRL_ALT_K=154 CTRL_ALT_L=155 CTRL_ALT_M=156
TIMED=10000 TRIGWORD=20000
{
  echo "qlx-dump 1"
  record "Hello" $CTRL_ALT_H 1 "" "" 'hello world<ENTER>'
  record "Alpha only" $CTRL_ALT_H 2 "alpha" "" 'in alpha<ENTER>' 1
  record "Signature" $TRIGWORD 1 "" "qqsig" 'Best regards<ENTER>'
  record "Types a Trigword" $CTRL_ALT_K 1 "" "" 'qqsig<ENTER>'
  record "Presses a hot key" $CTRL_ALT_L 1 "" "" 'x<CTLD><ALTD>j<ALTU><CTLU>y<ENTER>'
  record "Target of Ctrl+Alt+J" $CTRL_ALT_J 1 "" "" 'six<ENTER>'
  record "Long" $CTRL_ALT_M 1 "" "" 'w<CTLD><REPEAT:0100><MSD:0100><ENDREP><CTLU>done<ENTER>'
  record "At start" $TIMED 1 "" "" 'started<ENTER>'
} >"$work/macros.txt"
mkdir -p "$QUILLOMAT_HOME"
"$QLX" load "$work/macros.txt" "$QUILLOMAT_HOME/QUILX.QLX" >/dev/null || fail "qlx load refused the macros"

out="$work/qt.out"
: >"$out"
printf '' >"$work/empty"

# The start-up macro types into the window in front about 5 s after the start.
start_receiver qt "$out" "Receiver one"
started=$(date +%s.%N)
"$QUILLOMAT" >"$work/quillomat.log" 2>&1 &
quillomat_pid=$!
wait_for 20 window_titled "Quillomat 98 (QUILX)" || fail "the main window did not appear"
focus_window "Receiver one"
printf 'started\n' >"$work/expected"
wait_for 15 same_file "$out" "$work/expected" || fail "the start-up macro did not run: $(od -c "$out" | head -3)"
elapsed=$(echo "$(date +%s.%N) - $started" | bc)
awk -v e="$elapsed" 'BEGIN { exit !(e >= 4.5 && e <= 8) }' ||
  fail "the start-up macro ran after ${elapsed}s, not about 5s"

# An Xlib window shows the modifier state of every key it gets. (A Qt window is no good
# here: it keeps its own idea of the held modifiers, and the releases of a hot key's Ctrl and
# Alt go to the grab, not to it.) xlog: the text that arrived since the last mark; xkeys: the
# key events.
kill "$receiver_pid"
start_receiver xlib "$work/xlib.out" "Receiver two"
mark=0 emark=0
next() { mark=$(stat -c %s "$work/xlib.out"); emark=$(wc -l <"$work/xlib.out.events"); }
xlog() { tail -c +"$((mark + 1))" "$work/xlib.out"; }
xkeys() { tail -n +"$((emark + 1))" "$work/xlib.out.events"; }
is_xlog() { [ "$(xlog; echo .)" = "$(printf '%b.' "$1")" ]; }
# xcheck XDOTOOL-ARGS EXPECTED WHAT: the receiver gets exactly EXPECTED, and nothing more.
xcheck() {
  next
  xdotool $1
  wait_for 10 is_xlog "$2" || fail "$3: got $(xlog | od -c | head -3) $(xkeys | tr "\n" "|")"
  sleep 0.3
  is_xlog "$2" || fail "$3: more arrived: $(xlog | od -c | head -3)"
}
backspaces() { xkeys | grep -c '^key press BackSpace ' || true; }

xcheck "key ctrl+alt+h" 'hello world\n' "the global hot key"
xdotool key Num_Lock
xcheck "key ctrl+alt+h" 'hello world\n' "the hot key with NumLock on"
xdotool key Num_Lock
# Caps Lock is off while the macro types, and on again afterwards.
caps_on() { xset q | grep -q "Caps Lock: *on"; }
xdotool key Caps_Lock
caps_on || fail "Caps Lock did not come on"
xcheck "key ctrl+alt+h" 'hello world\n' "the hot key with Caps Lock on"
caps_on || fail "Caps Lock was not on again after the macro"
# The macro typed its letters with Caps Lock off.
! xkeys | grep -E '^key press [a-z] ' | grep -qv 'state=0x0$' ||
  fail "the macro typed with Caps Lock on: $(xkeys | grep -E '^key press [a-z] ' | head -3)"
xdotool key Caps_Lock

# A Trigword is erased with Backspaces (the window shows none of them) and replaced.
xcheck "type --delay 30 qqsig" 'qqsigBest regards\n' "the Trigword"
[ "$(backspaces)" -eq 5 ] || fail "the Trigword was erased with $(backspaces) Backspaces, not 5"
xcheck "type --delay 30 say:qqsig" 'say:qqsigBest regards\n' "the Trigword after other text"
[ "$(backspaces)" -eq 5 ] || fail "the Trigword after text: $(backspaces) Backspaces"

# A macro's own keys are no hot key and no Trigword.
xcheck "key ctrl+alt+k" 'qqsig\n' "a macro typing a Trigword"
[ "$(backspaces)" -eq 0 ] || fail "a macro's own Trigword was erased"
xcheck "key ctrl+alt+l" 'xy\n' "a macro pressing another macro's hot key"
xkeys | grep -q '^key press j state=0xc$' || fail "the macro's Ctrl+Alt+J did not reach the window"
xcheck "key ctrl+alt+j" 'six\n' "that hot key pressed by the user"

# The window macro wins only while its window is in front.
start_receiver xlib "$work/alpha.out" "Receiver alpha"
printf 'in alpha\n' >"$work/expected"
xdotool key ctrl+alt+h
expect_text "$work/alpha.out" "$work/expected" "the window macro in its window"
focus_window "Receiver two"
xcheck "key ctrl+alt+h" 'hello world\n' "the global macro beside the window macro"
[ "$(cat "$work/alpha.out")" = "in alpha" ] || fail "the window macro's window got more"

# Pause/Break ends a long macro that holds Ctrl: the abort message, and no key left held.
xcheck "key ctrl+alt+m" 'w' "the start of the long macro"
xdotool key Pause
wait_for 10 window_titled "Macro Abort" || fail "no abort message"
sleep 0.5
is_xlog 'w' || fail "the long macro went on after the abort: $(xlog)"
wmctrl -c "Macro Abort"
gone() { ! window_titled "Macro Abort"; }
wait_for 10 gone || fail "the abort message did not close"
focus_window "Receiver two"
xcheck "type z" 'z' "a plain key after the abort"
xkeys | grep -qx "key press z state=0x0" || fail "a key is still held after the abort: $(xkeys)"

wmctrl -c "Quillomat 98 (QUILX)"
wait_for 10 exited "$quillomat_pid" || fail "quillomat did not close"
wait "$quillomat_pid" || fail "quillomat exited with $?"
quillomat_pid=""
echo "live_test: passed"
