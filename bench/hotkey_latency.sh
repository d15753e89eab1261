#!/usr/bin/env bash
# How long the running program takes to answer a hot key and a Trigword, beside the X server's
# round trip, under Xvfb (run by hand, from the build folder or with QUILLOMAT/QLX set):
#   bench/hotkey_latency.sh [TRIES]
# A small Xlib client owns the window in front, injects the keys through XTest and times, on
# its own clock, from the flush of the hot key's last release (or the Trigword's last
# character) to the first key the program injects (or the first Backspace).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${HOTKEY_LATENCY_INNER:-}" ]; then
  export HOTKEY_LATENCY_INNER=1
  exec "$here/scripts/with-x.sh" bash "$0" "$@"
fi
tries=${1:-200}
QUILLOMAT=${QUILLOMAT:-$here/build/quillomat}
QLX=${QLX:-$here/build/qlx}
. "$here/tests/x11/lib.sh"
make_home
qpid=""
trap '[ -n "$qpid" ] && { kill "$qpid" 2>/dev/null; wait "$qpid" 2>/dev/null; }; rm -rf "$work"' EXIT

cat >"$work/probe.cpp" <<'CPP'
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
using Clock = std::chrono::steady_clock;
static double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}
static void Key(Display* d, KeySym ks, bool down) {
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, ks), down, 0);
}
// Waits for a key press of one of the keysyms in the window; returns false after 2 s.
static bool WaitPress(Display* d, KeySym want, Clock::time_point* at) {
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (Clock::now() < deadline) {
    while (XPending(d)) {
      XEvent ev;
      XNextEvent(d, &ev);
      if (ev.type == MappingNotify) XRefreshKeyboardMapping(&ev.xmapping);
      if (ev.type != KeyPress) continue;
      KeySym ks = XLookupKeysym(&ev.xkey, 0);
      if (ks == want || want == NoSymbol) { *at = Clock::now(); return true; }
    }
    struct timeval tv = {0, 1000};
    fd_set fds; FD_ZERO(&fds); FD_SET(ConnectionNumber(d), &fds);
    select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &tv);
  }
  return false;
}
// Drains until the program's end-of-playback key has come and things are quiet.
static void Settle(Display* d) {
  Clock::time_point t;
  WaitPress(d, XK_Execute, &t);
  const auto end = Clock::now() + std::chrono::milliseconds(60);
  while (Clock::now() < end) { while (XPending(d)) { XEvent ev; XNextEvent(d, &ev); } }
}
static void Report(const char* what, std::vector<double> v) {
  if (v.empty()) { std::printf("%-34s no samples\n", what); return; }
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[std::min(v.size() - 1, size_t(q * (v.size() - 1) + 0.5))]; };
  std::printf("%-34s n=%zu median=%.3f ms p99=%.3f ms max=%.3f ms\n", what, v.size(), at(0.5),
              at(0.99), v.back());
}
int main(int argc, char** argv) {
  const int tries = argc > 1 ? std::atoi(argv[1]) : 200;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 50, 50, 300, 200, 0, 0, 0);
  XStoreName(d, w, "Latency probe");
  XSelectInput(d, w, KeyPressMask);
  XMapWindow(d, w);
  XSync(d, False);
  std::printf("ready\n");
  std::fflush(stdout);
  char line[16];
  if (!std::fgets(line, sizeof line, stdin)) return 1;  // focused by the script
  std::vector<double> rtt, hot, trig;
  int lost_hot = 0, lost_trig = 0;
  for (int i = 0; i < 1000; ++i) {
    auto a = Clock::now();
    XSync(d, False);
    rtt.push_back(Ms(a, Clock::now()));
  }
  for (int i = 0; i < tries; ++i) {
    Key(d, XK_Control_L, true); Key(d, XK_Alt_L, true); Key(d, XK_h, true); Key(d, XK_h, false);
    Key(d, XK_Alt_L, false); Key(d, XK_Control_L, false);
    XFlush(d);
    auto a = Clock::now();
    Clock::time_point b;
    if (WaitPress(d, XK_a, &b)) hot.push_back(Ms(a, b)); else ++lost_hot;
    Settle(d);
  }
  const KeySym word[] = {XK_q, XK_q, XK_s, XK_i, XK_g};
  for (int i = 0; i < tries; ++i) {
    Key(d, XK_space, true); Key(d, XK_space, false);
    for (int k = 0; k < 4; ++k) { Key(d, word[k], true); Key(d, word[k], false); }
    XSync(d, False);
    Key(d, XK_g, true);
    XFlush(d);
    auto a = Clock::now();
    Key(d, XK_g, false);
    XFlush(d);
    Clock::time_point b;
    if (WaitPress(d, XK_BackSpace, &b)) trig.push_back(Ms(a, b)); else ++lost_trig;
    Settle(d);
  }
  Report("X server round trip (XSync)", rtt);
  Report("hot key -> first injected key", hot);
  Report("last Trigword char -> Backspace", trig);
  std::printf("lost: hot keys %d, Trigwords %d\n", lost_hot, lost_trig);
  return 0;
}
CPP
g++ -O2 -o "$work/probe" "$work/probe.cpp" -lX11 -lXtst

# Ctrl+Alt+H types "a"; the Trigword "qqsig" types "b".
mkdir -p "$QUILLOMAT_HOME"
{
  echo "qlx-dump 1"
  macro_record 1 Hot 151 1 "" "" a
  macro_record 2 Word 20000 1 "" qqsig b
} >"$work/m.txt"
"$QLX" load "$work/m.txt" "$QUILLOMAT_HOME/QUILX.QLX" >/dev/null
"$QUILLOMAT" >"$work/log" 2>&1 &
qpid=$!
wait_for 20 window_titled "Quillomat 98 (QUILX)" || fail "quillomat did not start"
mkfifo "$work/in"
"$work/probe" "$tries" <"$work/in" &
probe=$!
exec 3>"$work/in"
wait_for 10 window_titled "Latency probe" || fail "no probe window"
focus_window "Latency probe"
sleep 0.5
echo go >&3
wait "$probe"
kill -0 "$qpid" || fail "quillomat ended during the run"
