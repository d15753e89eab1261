#!/usr/bin/env bash
# Runs a libFuzzer target once over every file of its checked-in corpus.
#   scripts/replay-corpus.sh TARGET CORPUS-DIR
set -euo pipefail
target=$1
corpus=$2
shopt -s nullglob
files=("$corpus"/*)
[ ${#files[@]} -gt 0 ] || { echo "no corpus in $corpus" >&2; exit 1; }
exec "$target" -rss_limit_mb=2048 "${files[@]}"
