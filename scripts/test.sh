#!/usr/bin/env bash
# Sets up, builds and runs every test headless. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd "${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen TZ=UTC ctest --output-on-failure --parallel "$(nproc)" "$@"
