#!/usr/bin/env bash
# The clipboard of the X11 backend: text set by a process that then exits is still served
# (UTF-8, Latin-1, TARGETS, in pieces when large), and another program's text is read back.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
drv() { "$X11_TEST_BIN/x11_driver" "$@"; }
clip() { xclip -o -selection clipboard "$@"; }

text='Grüße, 5 € — “quoted” ½'
drv clipboard "$text" || fail "the driver could not set the clipboard"
[ "$(clip)" = "$text" ] || fail "read back: $(clip)"
[ "$(clip -t UTF8_STRING)" = "$text" ] || fail "UTF8_STRING: $(clip -t UTF8_STRING)"
[ "$(clip -t STRING | iconv -f latin1 -t utf-8)" = 'Grüße, 5 ? ? ?quoted? ½' ] ||
  fail "STRING: $(clip -t STRING | od -c | head -3)"
clip -t TARGETS | grep -qx UTF8_STRING || fail "TARGETS lacks UTF8_STRING"
clip -t TARGETS | grep -qx STRING || fail "TARGETS lacks STRING"
clip -t TARGETS | grep -qx TEXT || fail "TARGETS lacks TEXT"
# Still there a moment later, for a second reader.
sleep 0.5
[ "$(clip)" = "$text" ] || fail "gone after a while"

# Large texts go in pieces.
python3 -c "import sys; sys.stdout.write(''.join('line of text %d\n' % i for i in range(40000)))" >"$work/big"
[ "$(stat -c %s "$work/big")" -gt 300000 ] || fail "the big text is too small"
drv clipboard-file "$work/big"
clip >"$work/big.out"
cmp -s "$work/big" "$work/big.out" || fail "the large text differs ($(stat -c %s "$work/big.out") bytes)"

# Another program's text, small and large.
# xclip stays behind to serve what it took: keep it off the output that the test runner reads.
printf 'from xclip: café' | xclip -i -selection clipboard >/dev/null 2>&1
wait_for 5 test "$(clip)" = 'from xclip: café'
[ "$(drv clipboard-read)" = 'from xclip: café' ] || fail "read: $(drv clipboard-read)"
xclip -i -selection clipboard "$work/big" >/dev/null 2>&1
drv clipboard-read >"$work/big.read"
cmp -s "$work/big" "$work/big.read" || fail "the large text read differs ($(stat -c %s "$work/big.read") bytes)"

# The server the driver left behind ends once another program owns the clipboard.
gone() { ! pgrep -f "$X11_TEST_BIN/x11_driver" >/dev/null; }
wait_for 5 gone || fail "the clipboard server stayed after losing the selection"
echo "clipboard_test: passed"
