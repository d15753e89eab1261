#!/usr/bin/env bash
# Typing speed and accuracy, by hand (not in CI): the same 5000-character text typed into an
# Xlib window and a Qt text field by `qlx play` (the player on the X11 backend), by the
# backend alone (through x11_driver), by
# `xdotool type --delay 0` and by `xdotool type` with its default delay; then a 60-character
# line outside ASCII. Characters per second count until the receiver holds everything (or
# stops changing); errors are the characters wrong, missing or extra, summed over the rounds; cps is the
# median round.
#   bench/typing.sh [ROUNDS]      (build first: ninja -C build qlx x11_driver x11_xlib_receiver x11_qt_receiver)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] || [ -z "${BENCH_INSIDE_X:-}" ]; then
  BENCH_INSIDE_X=1 exec "$here/scripts/with-x.sh" bash "$0" "$@"
fi
rounds=${1:-3}
bin=${X11_TEST_BIN:-$here/build/x11-test-bin}
. "$here/tests/x11/lib.sh"
work=$(mktemp -d)
receiver_pid=""
trap '[ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null; rm -rf "$work"' EXIT
X11_TEST_BIN=$bin
qlx=${QLX:-$here/build/qlx}

python3 - "$work" <<'PY'
import random, sys
random.seed(2024)
chars = ''.join(chr(c) for c in range(32, 127))
lines, n = [], 0
while n < 5000:
    line = ''.join(random.choice(chars) for _ in range(random.randint(20, 70)))
    line = line[:5000 - n - 1] if n + len(line) + 1 > 5000 else line
    lines.append(line); n += len(line) + 1
open(sys.argv[1] + '/ascii.txt', 'w').write('\n'.join(lines)[:5000])
line = 'Grüße aus Köln: café, crème brûlée, 5 € – “déjà vu” ½ ñ ¿¡ ÆØÅ'
open(sys.argv[1] + '/upper.txt', 'w').write((line * 2)[:60])
PY

# errors EXPECTED RECEIVED: characters wrong, missing or extra.
errors() {
  python3 - "$1" "$2" <<'PY'
import difflib, sys
a = open(sys.argv[1], encoding='utf-8', errors='replace').read()
try:
    b = open(sys.argv[2], encoding='utf-8', errors='replace').read()
except FileNotFoundError:
    b = ''
e = 0
for op, i1, i2, j1, j2 in difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes():
    if op != 'equal':
        e += max(i2 - i1, j2 - j1)
print(e)
PY
}

now() { date +%s.%N; }

# measure KIND METHOD FILE: prints "cps errors".
measure() {
  local kind=$1 method=$2 file=$3 out="$work/out" start end last size stable
  rm -f "$out" "$out.events"
  start_receiver "$kind" "$out" "Bench $kind" >/dev/null
  sleep 0.3
  start=$(now)
  case $method in
    qlx)
      # Macro text is cp1252. The line breaks stay single LFs (typed as Return), so that the
      # text stays within a macro's 5000 characters.
      python3 -c "import sys; open(sys.argv[2], 'wb').write(open(sys.argv[1], encoding='utf-8').read().encode('cp1252'))" "$file" "$work/macro"
      start=$(now)
      "$qlx" play --text-file "$work/macro" 2>/dev/null & ;;
    quillomat) "$bin/x11_driver" type "$file" 2>/dev/null & ;;
    xdotool0) xdotool type --delay 0 --file "$file" & ;;
    xdotool) xdotool type --file "$file" & ;;
  esac
  local typer=$!
  # Until the receiver has it all, or nothing has changed for two seconds after the typist
  # has finished.
  last=$(now); size=-1; stable=0
  while :; do
    if cmp -s "$out" "$file"; then last=$(now); break; fi
    local s; s=$(stat -c %s "$out" 2>/dev/null || echo 0)
    if [ "$s" != "$size" ]; then size=$s; last=$(now); stable=0; else stable=$((stable + 1)); fi
    if ! kill -0 "$typer" 2>/dev/null && [ $stable -ge 200 ]; then break; fi
    sleep 0.01
  done
  wait "$typer" 2>/dev/null || true
  end=$last
  local chars; chars=$(python3 -c "import sys; print(len(open(sys.argv[1], encoding='utf-8').read()))" "$file")
  local e; e=$(errors "$file" "$out")
  kill "$receiver_pid"; wait "$receiver_pid" 2>/dev/null || true; receiver_pid=""
  python3 -c "import sys; print('%.0f %s' % (float(sys.argv[1]) / max(float(sys.argv[3]) - float(sys.argv[2]), 1e-3), sys.argv[4]))" \
    "$chars" "$start" "$end" "$e"
}

printf '%-8s %-22s %-9s %8s %8s %s\n' receiver method text 'cps' 'errors' rounds
for kind in xlib qt; do
  for method in qlx quillomat xdotool0 xdotool; do
    for text in ascii upper; do
      n=$rounds
      [ "$method" = xdotool ] && [ "$text" = ascii ] && n=1  # 5000 characters take a minute
      results=()
      for _ in $(seq "$n"); do results+=("$(measure "$kind" "$method" "$work/$text.txt")"); done
      cps=$(printf '%s\n' "${results[@]}" | awk '{ print $1 }' | sort -n | tr '\n' ' ')
      errs=$(printf '%s\n' "${results[@]}" | awk '{ print $2 }' | tr '\n' ' ')
      label=$method
      [ "$method" = qlx ] && label="qlx play"
      [ "$method" = quillomat ] && label="backend (x11_driver)"
      [ "$method" = xdotool0 ] && label="xdotool --delay 0"
      [ "$method" = xdotool ] && label="xdotool (12 ms)"
      printf '%-8s %-22s %-9s %8s %8s  cps: %s errors: %s\n' "$kind" "$label" "$text" \
        "$(printf '%s\n' "${results[@]}" | awk '{ print $1 }' | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')" \
        "$(printf '%s\n' "${results[@]}" | awk '{ s += $2 } END { print s }')" "$cps" "$errs"
    done
  done
done
