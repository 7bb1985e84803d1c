#!/usr/bin/env bash
# Sets up, builds and runs every benchmark in bench/. Pass --quick for the short mode.
# Each benchmark runs in a working folder of its own (it makes its database there), and the
# folders are removed when the script ends, however it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD_TYPE=Release BUILD_DIR=build-bench bash scripts/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt's runtime folder too, instead of one it would leave in the system's temporary folder.
mkdir -m 700 "$work/runtime"
shopt -s nullglob
found=0
for b in build-bench/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  name=$(basename "$b")
  echo "== $name"
  mkdir "$work/$name"
  (cd "$work/$name" && QT_QPA_PLATFORM=offscreen TZ=UTC XDG_RUNTIME_DIR="$work/runtime" "$root/$b" "$@")
done
[ $found -eq 1 ] || echo "no benchmarks built"
