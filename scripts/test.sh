#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test suite: unit and gui tests, the x11
# tests in a throwaway X server, and the fuzz corpora under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build/test -G Ninja >/dev/null
ninja -C build/test -j "$jobs"

cmake -S . -B build/fuzz -G Ninja -DQUILLOMAT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
ninja -C build/fuzz -j "$jobs"

status=0
echo "== unit and gui tests"
(cd build/test && QT_QPA_PLATFORM=offscreen ctest -L 'unit|gui' -j "$jobs" --output-on-failure) || status=1
echo "== x11 tests (each in an X server of its own)"
(cd build/test && ctest -L x11 --output-on-failure) || status=1
echo "== fuzz corpora"
(cd build/fuzz && ctest -L fuzz -j "$jobs" --output-on-failure) || status=1
exit $status
