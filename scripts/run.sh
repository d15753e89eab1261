#!/usr/bin/env bash
# Installs what is needed, builds a release and starts Quillomat with the given switches,
# for example:  scripts/run.sh /F"$HOME/work.qlx"
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLOMAT_BENCH=OFF >/dev/null
ninja -C build/release quillomat qlx
exec build/release/quillomat "$@"
