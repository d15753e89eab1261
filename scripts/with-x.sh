#!/usr/bin/env bash
# Runs a command against a throwaway X server: Xvfb on a display of its choosing, with
# openbox as the window manager. Both are stopped afterwards, also when the command fails.
#   scripts/with-x.sh [--no-wm] COMMAND [ARGS...]
set -euo pipefail

wm=1
if [ "${1:-}" = "--no-wm" ]; then wm=0; shift; fi

display_file=$(mktemp)
pids=()
stop() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -f "$display_file"
}
trap stop EXIT

# Xvfb picks a free display itself and reports it, so parallel runs never collide.
# -noreset: without it the server resets when its last client (a readiness probe) leaves, and a
# client connecting during the reset is refused.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
display=":$(head -n 1 "$display_file" | tr -d '[:space:]')"
[ "$display" != ":" ] || { echo "with-x: Xvfb did not start" >&2; exit 1; }
for _ in $(seq 100); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "with-x: Xvfb did not start" >&2; exit 1; }
export DISPLAY="$display"

if [ $wm -eq 1 ]; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  wm_running() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]]; }
  for _ in $(seq 100); do
    wm_running && break
    sleep 0.1
  done
  wm_running || { echo "with-x: openbox did not start" >&2; exit 1; }
fi

status=0
"$@" || status=$?
exit $status
