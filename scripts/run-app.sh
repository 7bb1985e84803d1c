#!/usr/bin/env bash
# Sets up, builds and starts the application: only the program and its catalogues are built,
# not the tests or the benchmarks. The program is copied into ./run with its
# catalogues and started there, so that its own folder and its working folder are one: the
# database DAQ.db3, DAQ.ini, the day's log files and the CSV files in Data/ all live in ./run,
# which no build step touches. Without a display the program is started under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh DAQ translations
mkdir -p run
cp -f build/DAQ build/DAQ_zh.qm build/DAQ_en.qm run/
cd run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a ./DAQ "$@"
fi
exec ./DAQ "$@"
