#!/usr/bin/env bash
# Sets up, builds and runs every test headless (build/), then builds them a second time with
# AddressSanitizer, UndefinedBehaviorSanitizer and assertions on (build-asan/) and runs them again.
# Arguments are passed to both ctest runs. Exits non-zero when any test of either pass fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
status=0

bash scripts/setup.sh
(cd "${BUILD_DIR:-build}" && QT_QPA_PLATFORM=offscreen TZ=UTC ctest --output-on-failure --parallel "$(nproc)" "$@") \
  || status=1

echo "== sanitizer pass (build-asan)"
BUILD_DIR=build-asan CMAKE_ARGS=-DDAQ_SANITIZE=ON bash scripts/setup.sh
# Leaks stay checked; whole stacks let the suppression file match Qt's own start-up objects.
(cd build-asan && QT_QPA_PLATFORM=offscreen TZ=UTC \
  ASAN_OPTIONS=fast_unwind_on_malloc=0 \
  LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --parallel "$(nproc)" "$@") || status=1

exit $status
