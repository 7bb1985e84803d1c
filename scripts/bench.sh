#!/usr/bin/env bash
# Sets up, builds and runs every benchmark in bench/. Pass --quick for the short mode.
# Each benchmark runs in a working folder of its own (it makes its database there) with TMPDIR
# inside it, so the temporary folders it makes itself are in it too; the folder is removed when
# the benchmark ends. An interrupt (SIGINT, SIGTERM, SIGHUP) or a failure stops the running
# benchmark and every process it started, then removes the folders, so nothing is left behind.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD_TYPE=Release BUILD_DIR=build-bench bash scripts/setup.sh

work=""
running="" # the running benchmark: its process id, also that of its own process group
stop_running() {
  [ -n "$running" ] || return 0
  kill -TERM -- "-$running" 2>/dev/null || true
  wait "$running" 2>/dev/null || true
  # The processes it started are in its group too; they get a moment to end, then are killed.
  for _ in $(seq 50); do
    kill -0 -- "-$running" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$running" 2>/dev/null || true
  running=""
}
cleanup() {
  stop_running
  if [ -n "$work" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
work=$(mktemp -d)
# Qt's runtime folder too, instead of one it would leave in the system's temporary folder.
mkdir -m 700 "$work/runtime"
shopt -s nullglob
found=0
for b in build-bench/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  name=$(basename "$b")
  echo "== $name"
  dir="$work/$name"
  mkdir -p "$dir/tmp"
  # In a process group of its own (setsid runs it in place, so $! is its id), so that an
  # interrupt stops it with the processes it started, and the script waits for it in `wait`,
  # where a signal to the script is acted on at once.
  (cd "$dir" && QT_QPA_PLATFORM=offscreen TZ=UTC XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$dir/tmp" \
    exec setsid "$root/$b" "$@") &
  running=$!
  wait "$running"
  running=""
  rm -rf "$dir"
done
[ $found -eq 1 ] || echo "no benchmarks built"
