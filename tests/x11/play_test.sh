#!/usr/bin/env bash
# Macros played by `qlx play` arrive in real windows: text exactly (also after a layout
# switch), modifiers, window and launch commands, the clipboard, and the mouse.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; setxkbmap us; rm -rf "$work"' EXIT
setxkbmap us
play() { "$QLX" play "$@"; }
# Macro text from UTF-8, as the cp1252 bytes a macro file holds.
macro_file() { printf '%s' "$1" | iconv -f utf-8 -t cp1252 >"$2"; }
receiver() {  # KIND OUT TITLE
  start_receiver "$1" "$2" "$3"
  pids+=("$receiver_pid")
}
done_with() { kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true; }

ascii=$(printf '%s' ' !"#$%&'"'"'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcdefghijklmnopqrstuvwxyz{|}~')
upper='café €5 œuvre “quoted” ÄÖÜß ½ — ™ åøæ ñ ¿¡ ÿŸ Šž'
# Every printable ASCII character and CR LF; the tokens' own "<" is typed when no token
# follows it.
macro_file "$ascii"$'\r\n'"$upper"$'\r\n' "$work/text.mac"
printf '%s\n%s\n' "$ascii" "$upper" >"$work/expected"

for kind in xlib qt; do
  receiver "$kind" "$work/$kind.out" "Play $kind"
  play --text-file "$work/text.mac" || fail "$kind: qlx play failed"
  expect_text "$work/$kind.out" "$work/expected" "$kind: ASCII, CR LF and cp1252 characters"
  for layout in de fr; do
    setxkbmap "$layout"
    play --text-file "$work/text.mac"
    cat "$work/expected" >>"$work/$kind.expected.more"
  done
  setxkbmap us
  cat "$work/expected" "$work/$kind.expected.more" >"$work/$kind.expected"
  expect_text "$work/$kind.out" "$work/$kind.expected" "$kind: the same text after de and fr"
  done_with
done

# Modifiers: the Xlib receiver logs each key with its state (Control 0x4, Mod1 0x8).
receiver xlib "$work/mods.out" "Play mods"
play '<CTRL>c<CTLD>v<CTLU><ALT><ALT>x<SHIFT>a'
wait_for 10 grep -q 'press A ' "$work/mods.out.events" || fail "the modifier keys did not arrive"
grep -Eq 'key press c state=0x(4|14)$' "$work/mods.out.events" || fail "<CTRL>c: $(grep 'press c' "$work/mods.out.events")"
grep -Eq 'key press v state=0x(4|14)$' "$work/mods.out.events" || fail "<CTLD>v: $(grep 'press v' "$work/mods.out.events")"
grep -Eq 'key press x state=0x(0|10)$' "$work/mods.out.events" || fail "<ALT><ALT>x: $(grep 'press x' "$work/mods.out.events")"
grep -Eq 'key press A state=0x(1|11)$' "$work/mods.out.events" || fail "<SHIFT>a: $(grep 'press A' "$work/mods.out.events")"
done_with

# Activation by a part of the title, then window commands seen by the window manager.
receiver xlib "$work/a.out" "Play Alpha Window"
alpha_pid=$receiver_pid
receiver qt "$work/b.out" "Play Beta Window"
alpha=$(wmctrl -l | awk '/Play Alpha Window/ { print $1 }')
play '<ACTIVATE:alpha win>to alpha'
printf 'to alpha' >"$work/a.expected"
expect_text "$work/a.out" "$work/a.expected" "<ACTIVATE: by a part of the title"
play '<ACTIVATE:No Such Window>never typed' && true
sleep 0.3
expect_text "$work/a.out" "$work/a.expected" "a failed <ACTIVATE: ends the macro"
maximized() { xprop -id "$alpha" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT; }
hidden() { xprop -id "$alpha" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
play '<WMAX:Play Alpha Window>'
wait_for 5 maximized || fail "<WMAX: did not maximise"
play '<WRES:Play Alpha Window>'
wait_for 5 eval '! maximized' || fail "<WRES: did not restore"
play '<WMIN:Play Alpha Window>'
wait_for 5 hidden || fail "<WMIN: did not minimise"
play '<WRES:Play Alpha Window>'
wait_for 5 eval '! hidden' || fail "<WRES: did not restore the minimised window"
play '<WCLS:Play Alpha Window>'
wait_for 10 exited "$alpha_pid" || fail "<WCLS: did not close the window"

# Launching: the window is found or started, and the text goes to it.
receiver_bin="$X11_TEST_BIN/x11_xlib_receiver"
play "<LAUNCHNO:00Play Launched<LAUNCH:$receiver_bin<PARAM>$work/l.out \"Play Launched\">launched"
printf 'launched' >"$work/l.expected"
expect_text "$work/l.out" "$work/l.expected" "<LAUNCHNO: started the program and typed into it"
launched_pid=$(pgrep -f "$work/l.out" | head -1)
pids+=("$launched_pid")
play "<LAUNCHYES:00Play Launched<LAUNCH:$receiver_bin<PARAM>$work/l2.out \"Play Launched\">again"
printf 'launchedagain' >"$work/l.expected"
expect_text "$work/l.out" "$work/l.expected" "<LAUNCHYES: found the running window"
[ ! -e "$work/l2.out" ] || fail "<LAUNCHYES: started a second copy"
start=$(date +%s)
play "<LAUNCHNO:00No Such Title<LAUNCH:/no/such/program>lost" && true
[ $(( $(date +%s) - start )) -lt 10 ] || fail "a launch that cannot start waited for its window"

# The clipboard, read back by another program after qlx has returned.
play '<BEGCLIP>from a clip block<ENDCLIP>'
[ "$(xclip -o -selection clipboard)" = 'from a clip block' ] || fail "<BEGCLIP>: $(xclip -o -selection clipboard)"
printf 'from a file\r\n\x1a' >"$work/clip.txt"
play "<CLIPF:$work/clip.txt>"
[ "$(xclip -o -selection clipboard | od -An -c | tr -s ' ')" = "$(printf 'from a file\r\n' | od -An -c | tr -s ' ')" ] ||
  fail "<CLIPF:: $(xclip -o -selection clipboard | od -c | head -2)"

# The mouse: an absolute move and a click, seen by the receiver where they were aimed.
receiver xlib "$work/m.out" "Play Mouse"
wmctrl -r "Play Mouse" -b add,maximized_vert,maximized_horz
sleep 0.5
play '<MMS:00400,00300><LCLK><WFW:001>'
wait_for 10 grep -q '^button press 1 400 300' "$work/m.out.events" ||
  fail "the click: $(grep button "$work/m.out.events" | head -3)"
wait_for 5 grep -q '^button press 4 ' "$work/m.out.events" || fail "the wheel notch did not arrive"
echo "play_test: passed"
