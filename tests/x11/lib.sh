# Helpers for the desktop tests: a private home for the program, and waits that poll.

# A fresh home, settings folder and runtime folder; removed when the test ends.
make_home() {
  work=$(mktemp -d)
  export QUILLOMAT_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The id of the first top-level window that belongs to a process.
window_of_pid() {
  wmctrl -lp | awk -v pid="$1" '$3 == pid { print $1; exit }'
}

has_window_of_pid() { [ -n "$(window_of_pid "$1")" ]; }

window_titled() { wmctrl -l | grep -F -- "$1"; }

exited() { ! kill -0 "$1" 2>/dev/null; }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# start_receiver KIND OUT TITLE: starts x11_xlib_receiver or x11_qt_receiver writing to OUT,
# waits for its window and gives it the focus; sets receiver_pid.
start_receiver() {
  "$X11_TEST_BIN/x11_$1_receiver" "$2" "$3" 2>/dev/null &
  receiver_pid=$!
  wait_for 20 window_titled "$3" || fail "the $1 receiver did not appear"
  focus_window "$3"
}

# focus_window TITLE: activates the window with that exact title and waits until it has the
# input focus (a window manager's _NET_ACTIVE_WINDOW can still name a closed window whose id
# a new window has taken over).
focus_window() {
  local id
  id=$(wmctrl -l | awk -v t="$1" '{ $1 = $1 } { s = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", s) } s == t { print $1; exit }')
  [ -n "$id" ] || fail "no window titled $1"
  has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((id))" ]; }
  for _ in 1 2 3 4 5; do
    xdotool windowactivate "$id" 2>/dev/null || wmctrl -i -a "$id"
    wait_for 2 has_focus && return 0
  done
  fail "could not focus $1"
}

# same_file A B: the two files are identical.
same_file() { cmp -s "$1" "$2"; }

# expect_text OUT EXPECTED WHAT: waits until OUT holds exactly EXPECTED, else fails showing
# the first difference.
expect_text() {
  wait_for 15 same_file "$1" "$2" && return 0
  echo "expected: $(head -c 300 "$2" | od -c | head -5)" >&2
  echo "received: $(cmp "$1" "$2" 2>&1)" >&2
  echo "received text: $(head -c 300 "$1" | od -c | sed -n 6,9p)" >&2
  fail "$3"
}

# macro_record NUMBER NICKNAME ACTIVATION SCOPE SCOPE_NAME TRIGWORD TEXT [TOP_MOST_ONLY]: one
# record in the text form that `qlx load` reads (schedule kind 0, so a timed macro plays at
# start-up).
macro_record() {
  cat <<REC
[record $1]
nickname = "$2"
scope_name = "$5"
trigword = "$6"
activation = $3
scope = $4
active = 1
reserved1 = 00 00
text = "$7"
icon_name = ""
schedule_kind = 0
day_flags = 0 0 0 0 0 0 0
hour = 0
minute = 0
month = 0
day_of_month = 0
minute_past_hour = 0
interval = 0
day_of_week = 0
year = 0
pm = 0
top_most_only = ${8:-0}
last_modified = 46000.5
reserved2 = 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00

REC
}
