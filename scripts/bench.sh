#!/usr/bin/env bash
# Sets up, builds and runs every benchmark in bench/. Pass --quick for the short mode.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_TYPE=Release BUILD_DIR=build-bench bash scripts/setup.sh
shopt -s nullglob
found=0
for b in build-bench/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  (cd "$(mktemp -d)" && QT_QPA_PLATFORM=offscreen TZ=UTC "$OLDPWD/$b" "$@")
done
[ $found -eq 1 ] || echo "no benchmarks built"
