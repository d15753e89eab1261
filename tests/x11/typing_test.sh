#!/usr/bin/env bash
# Text typed by the X11 backend arrives exactly in an Xlib window and in a Qt text field:
# every printable ASCII character, line breaks, characters of the upper half of cp1252 (which
# the US layout lacks), with Caps Lock on, and after the layout has been switched under a
# running driver.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
receiver_pid=""
trap '[ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null; setxkbmap us; rm -rf "$work"' EXIT
setxkbmap us

ascii=$(printf '%s' ' !"#$%&'"'"'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcdefghijklmnopqrstuvwxyz{|}~')
upper='café €5 œuvre “quoted” ÄÖÜß ½ — ™ åøæ ñ ¿¡ ÿŸ Šž … °±²³ çèà þð'
# The text with CR LF line breaks, and what a receiver shows of it.
printf '%s\r\n%s\r\nline three\tand a tab\r\n\r\n%s' "$ascii" "$upper" "$ascii" >"$work/text.txt"
printf '%s\n%s\nline three\tand a tab\n\n%s' "$ascii" "$upper" "$ascii" >"$work/expected"
# A long text: 5000 characters of ASCII and line breaks.
python3 - "$work" <<'PY'
import random, sys
random.seed(7)
chars = ''.join(chr(c) for c in range(32, 127)) + '\n'
body = ''.join(random.choice(chars) for _ in range(5000))
open(sys.argv[1] + '/long.txt', 'w', newline='').write(body.replace('\n', '\r\n'))
open(sys.argv[1] + '/long.expected', 'w').write(body)
PY
cat "$work/expected" "$work/expected" "$work/expected" >"$work/expected3"

for kind in xlib qt; do
  out="$work/$kind.out"
  title="Receiver $kind"

  start_receiver "$kind" "$out" "$title"
  "$X11_TEST_BIN/x11_driver" type "$work/long.txt" 2>/dev/null
  expect_text "$out" "$work/long.expected" "$kind: 5000 characters at full speed"
  kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true

  start_receiver "$kind" "$out" "$title"
  "$X11_TEST_BIN/x11_driver" type "$work/text.txt" 2>/dev/null
  expect_text "$out" "$work/expected" "$kind: ASCII, line breaks and cp1252 characters"
  kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true

  # Caps Lock does not change what is typed.
  start_receiver "$kind" "$out" "$title"
  xdotool key Caps_Lock
  [ "$("$X11_TEST_BIN/x11_driver" caps)" = on ] || fail "Caps Lock did not come on"
  "$X11_TEST_BIN/x11_driver" type "$work/text.txt" 2>/dev/null
  xdotool key Caps_Lock
  expect_text "$out" "$work/expected" "$kind: typing with Caps Lock on"
  kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true

  # One driver, three layouts.
  start_receiver "$kind" "$out" "$title"
  printf '%s\n' "type $work/text.txt" "run setxkbmap de" "type $work/text.txt" \
    "run setxkbmap fr" "type $work/text.txt" "run setxkbmap us" |
    "$X11_TEST_BIN/x11_driver" session >/dev/null 2>&1 || fail "$kind: the session failed"
  expect_text "$out" "$work/expected3" "$kind: the text after switching to de and fr"
  kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true
  receiver_pid=""
done
echo "typing_test: passed"
