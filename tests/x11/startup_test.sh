#!/usr/bin/env bash
# Quillomat starts on a real desktop, refuses a second start, and closes cleanly, writing
# every setting.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
make_home
first=""
trap '[ -n "$first" ] && kill "$first" 2>/dev/null; rm -rf "$work"' EXIT

"$QUILLOMAT" >"$work/first.log" 2>&1 &
first=$!
wait_for 20 window_titled "Quillomat 98 (QUILX)" || fail "the main window did not appear"

# A new macro file holds the four system macros.
[ "$("$QLX" list "$QUILLOMAT_HOME/QUILX.QLX" | wc -l)" -eq 4 ] || fail "QUILX.QLX lacks the system macros"

# A second start shows its message and, once it is answered, exits.
"$QUILLOMAT" >"$work/second.log" 2>&1 &
second=$!
wait_for 20 has_window_of_pid "$second" || fail "the second start showed no message"
wmctrl -i -c "$(window_of_pid "$second")"
wait_for 10 exited "$second" || fail "the second start did not exit"
wait "$second" || fail "the second start exited with $?"
grep -qF "Quillomat 98 is already running." "$work/second.log" || fail "wrong message: $(cat "$work/second.log")"

# The first is still running, and closes cleanly when its window is closed.
kill -0 "$first" || fail "the first instance ended"
wmctrl -c "Quillomat 98 (QUILX)"
wait_for 10 exited "$first" || fail "the first instance did not close"
wait "$first" || fail "the first instance exited with $?"
first=""

ini="$XDG_CONFIG_HOME/quillomat/QUILX.INI"
[ -f "$ini" ] || fail "QUILX.INI was not written"
# Every key, each in its section.
section=""
written=$(tr -d '\r' <"$ini" | while IFS= read -r line; do
  case "$line" in
    \[*\]) section=${line#[}; section=${section%]} ;;
    *=*) printf '%s\t%s\n' "$section" "${line%%=*}" ;;
  esac
done)
missing=$(comm -23 <(sort "$SOURCE_DIR/tests/data/settings_keys.txt") <(sort <<<"$written"))
[ -z "$missing" ] || fail "QUILX.INI lacks: $missing"
echo "startup_test: passed"
