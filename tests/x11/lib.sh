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
