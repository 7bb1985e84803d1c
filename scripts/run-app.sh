#!/usr/bin/env bash
# Sets up, builds and starts the application. The database, logs and CSV data live in ./run.
# Without a display the program is started under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
mkdir -p run
cp -f build/DAQ_zh.qm build/DAQ_en.qm run/ 2>/dev/null || true
cd run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a ../build/DAQ "$@"
fi
exec ../build/DAQ "$@"
