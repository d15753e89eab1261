#!/usr/bin/env bash
# Runs a command against a throwaway X server: Xvfb on a free display with openbox as the
# window manager. Both are stopped afterwards, also when the command fails.
#   scripts/with-x.sh [--no-wm] COMMAND [ARGS...]
set -euo pipefail

wm=1
if [ "${1:-}" = "--no-wm" ]; then wm=0; shift; fi

n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=":$n"

pids=()
stop() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap stop EXIT

# -noreset: without it the server resets when its last client (the readiness probe) leaves,
# and a client connecting during the reset is refused.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "with-x: Xvfb did not start" >&2; exit 1; }
export DISPLAY="$display"

if [ $wm -eq 1 ]; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { echo "with-x: openbox did not start" >&2; exit 1; }
fi

status=0
"$@" || status=$?
exit $status
