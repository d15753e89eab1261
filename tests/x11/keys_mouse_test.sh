#!/usr/bin/env bash
# Key combinations, Alt+keypad characters and mouse events from the X11 backend, as an Xlib
# window sees them.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
receiver_pid=""
trap '[ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null; rm -rf "$work"' EXIT
drv() { "$X11_TEST_BIN/x11_driver" "$@"; }
out="$work/xlib.out"
events="$out.events"

[ "$(drv screen)" = 1280x1024 ] || fail "screen size: $(drv screen)"

start_receiver xlib "$out" "Keys receiver"
# Ctrl+C, Alt+X, Shift+Tab, Ctrl+Alt+Delete as key events with their modifier state.
drv keys d:11 d:43 u:43 u:11
drv keys d:12 d:58 u:58 u:12
drv keys d:10 d:09 u:09 u:10
drv keys d:11 d:12 d:2E u:2E u:12 u:11
# Alt and keypad digits compose one character: a leading 0 reads cp1252, otherwise cp437;
# Alt pressed and released alone stays a key of its own.
drv keys d:12 d:60 u:60 d:62 u:62 d:63 u:63 d:63 u:63 u:12   # 0233 é
drv keys d:12 d:61 u:61 d:63 u:63 d:60 u:60 u:12             # 130 é in cp437
drv keys d:12 d:66 u:66 d:65 u:65 u:12                       # 65 A
drv keys d:12 d:60 u:60 d:61 u:61 d:62 u:62 d:68 u:68 u:12   # 0128 €
drv keys d:12 u:12
wait_for 5 grep -q "key release Alt_L" "$events" || fail "a lone Alt was not sent"
wait_for 5 grep -q "key press Delete state=0xc" "$events" || fail "no Ctrl+Alt+Delete"
grep -q "key press c state=0x4" "$events" || fail "no Ctrl+C: $(grep 'key press' "$events")"
grep -q "key press x state=0x8" "$events" || fail "no Alt+X"
grep -q "key press ISO_Left_Tab state=0x1" "$events" || fail "no Shift+Tab"
printf 'ééA€' >"$work/composed"
expect_text "$out" "$work/composed" "Alt+keypad characters"
# The composed characters arrive without Alt.
grep -E "key press (eacute|A|EuroSign) state=0x[0-9a-f]*[89a-f]$" "$events" &&
  fail "a composed character came with Alt"

# Mouse: moves land on the pixel named, buttons and the wheel at that place.
drv move 400 300
wait_for 5 grep -q "^motion 400 300$" "$events" || fail "move: $(grep motion "$events" | tail -1)"
drv click 321 234
drv click 333 244 right
drv click 345 255 middle
drv move 500 350
drv wheel 2
drv wheel -1
wait_for 5 grep -q "button release 5 500 350" "$events" || fail "no wheel back"
for line in "button press 1 321 234" "button release 1 321 234" "button press 3 333 244" \
  "button release 3 333 244" "button press 2 345 255" "button release 2 345 255"; do
  grep -q "^$line" "$events" || fail "missing: $line: $(grep button "$events")"
done
[ "$(grep -c "button press 4 500 350" "$events")" = 2 ] || fail "two notches forward expected"
[ "$(grep -c "button press 5 500 350" "$events")" = 1 ] || fail "one notch back expected"
# The far corner maps onto the last pixel.
drv move 1279 1023
[ "$(xdotool getmouselocation | cut -d' ' -f1-2)" = "x:1279 y:1023" ] ||
  fail "corner: $(xdotool getmouselocation)"
drv move 0 0
[ "$(xdotool getmouselocation | cut -d' ' -f1-2)" = "x:0 y:0" ] || fail "origin: $(xdotool getmouselocation)"
echo "keys_mouse_test: passed"
