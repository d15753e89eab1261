#!/usr/bin/env bash
# Window control by the X11 backend, checked with xprop, xwininfo and wmctrl: listing with
# program names, activation by a part of the title, placement of the client area, maximise,
# minimise, restore, hide and show, close and quit; then the same without a window manager.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
drv() { "$X11_TEST_BIN/x11_driver" "$@"; }
id_of() { wmctrl -l | awk -v t="$1" 'index($0, t) { print $1; exit }'; }
state_of() { xprop -id "$1" _NET_WM_STATE; }
map_state() { xwininfo -id "$1" | awk '/Map State/ { print $3 }'; }
corner() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } /Width/ { w = $2 } /Height/ { h = $2 } END { print x, y, w, h }'; }
named_window() { local tree; tree=$(xwininfo -root -tree); grep -qF "\"$1\"" <<<"$tree"; }  # also without a window manager
start() {  # KIND TITLE
  "$X11_TEST_BIN/x11_$1_receiver" "$work/$1.out" "$2" 2>/dev/null &
  pids+=($!)
  wait_for 20 named_window "$2" || fail "$2 did not appear"
}

if [ "${1:-}" = "--no-wm" ]; then
  [ "$(drv wm)" = no ] || fail "a window manager was seen where none runs"
  start xlib "Bare Window"
  w=$(xwininfo -root -tree | awk '/"Bare Window"/ { print $1; exit }')
  drv list | grep -q "Bare Window" || fail "bare: not listed: $(drv list)"
  drv activate bare >/dev/null || fail "bare: activate"
  [ "$(xdotool getwindowfocus)" = "$((w))" ] || fail "bare: no focus"
  drv move-resize bare 50 60 300 200 >/dev/null || fail "bare: move-resize"
  [ "$(corner "$w")" = "50 60 300 200" ] || fail "bare: placed at $(corner "$w")"
  drv show bare max >/dev/null || fail "bare: maximise"
  [ "$(corner "$w")" = "0 0 1280 1024" ] || fail "bare: maximised to $(corner "$w")"
  set +e; drv show bare min >/dev/null; rc=$?; set -e
  [ $rc -eq 3 ] || fail "bare: minimise without a window manager should be refused ($rc)"
  drv show bare hide >/dev/null && [ "$(map_state "$w")" = IsUnMapped ] || fail "bare: hide"
  drv show bare show >/dev/null && [ "$(map_state "$w")" = IsViewable ] || fail "bare: show"
  drv close bare >/dev/null
  wait_for 5 exited "${pids[0]}" || fail "bare: close did not end the receiver"
  echo "windows_test (no window manager): passed"
  exit 0
fi

[ "$(drv wm)" = yes ] || fail "no window manager seen"
start xlib "Window Test Alpha"
start qt "Window Test Beta"
alpha=$(id_of "Window Test Alpha")
beta=$(id_of "Window Test Beta")

# Listing: stacking order top first, pid and program of each.
drv activate "window test beta" >/dev/null
list=$(drv list)
line_a=$(grep -F "Window Test Alpha" <<<"$list") || fail "alpha not listed: $list"
line_b=$(grep -F "Window Test Beta" <<<"$list") || fail "beta not listed: $list"
[ "$(cut -f2,3 <<<"$line_a")" = "${pids[0]}	X11_XLIB_RECEIVER" ] || fail "alpha's program: $line_a"
[ "$(cut -f2,3 <<<"$line_b")" = "${pids[1]}	X11_QT_RECEIVER" ] || fail "beta's program: $line_b"
[ "$(grep -n -F "Window Test Beta" <<<"$list" | cut -d: -f1)" -lt \
  "$(grep -n -F "Window Test Alpha" <<<"$list" | cut -d: -f1)" ] || fail "beta should be on top: $list"

# Activation by part of the title, in any case.
drv activate "TEST ALPHA" >/dev/null || fail "activate refused"
[ "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')" = "$(printf '0x%x' "$alpha")" ] ||
  fail "alpha is not active"
[ "$(drv foreground)" = "$alpha" ] || fail "foreground: $(drv foreground)"
set +e; drv activate "no such window" >/dev/null; rc=$?; set -e
[ $rc -eq 4 ] || fail "a missing window should be reported ($rc)"

# The client area goes where asked, whatever the frame.
drv move-resize alpha 200 150 500 300 >/dev/null || fail "move-resize refused"
[ "$(corner "$alpha")" = "200 150 500 300" ] || fail "placed at $(corner "$alpha")"
[ "$(drv geometry alpha)" = "200 150 500 300" ] || fail "geometry: $(drv geometry alpha)"

drv show alpha max >/dev/null || fail "maximise refused"
state_of "$alpha" | grep -q _NET_WM_STATE_MAXIMIZED_VERT || fail "not maximised: $(state_of "$alpha")"
drv show alpha restore >/dev/null || fail "restore refused"
! state_of "$alpha" | grep -q MAXIMIZED || fail "still maximised"

drv show alpha min >/dev/null || fail "minimise refused"
state_of "$alpha" | grep -q _NET_WM_STATE_HIDDEN || fail "not minimised: $(state_of "$alpha")"
drv list | grep -F "Window Test Alpha" | grep -q minimized || fail "the list does not show it minimised"
drv show alpha restore >/dev/null || fail "restore from minimised refused"
[ "$(map_state "$alpha")" = IsViewable ] || fail "not shown after restore"

# Hidden windows drop out of the window manager's list, but the process that hid them still
# finds them and shows them again.
printf 'show alpha hide\nlist\nrun xwininfo -id %s\nshow alpha show\n' "$alpha" |
  drv session >"$work/session" 2>&1 || fail "hide and show: $(cat "$work/session")"
grep -F "Window Test Alpha" "$work/session" | grep -q hidden ||
  fail "a hidden window should be listed as hidden: $(cat "$work/session")"
grep -q "Map State: IsUnMapped" "$work/session" || fail "not hidden: $(cat "$work/session")"
[ "$(map_state "$alpha")" = IsViewable ] || fail "not shown again"

# Close asks politely; quit ends the program.
drv close beta >/dev/null
wait_for 10 exited "${pids[1]}" || fail "close did not end the Qt receiver"
drv quit alpha >/dev/null || fail "quit refused"
wait_for 10 exited "${pids[0]}" || fail "quit did not end the Xlib receiver"

"$SOURCE_DIR/scripts/with-x.sh" --no-wm bash "$0" --no-wm
echo "windows_test: passed"
