#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only the missing ones),
# then configures and builds into ./build (BUILD_DIR, BUILD_TYPE and extra CMake arguments in
# CMAKE_ARGS may change that): the targets named as arguments (for example DAQ), or everything
# when none is named.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(g++ cmake ninja-build pkg-config qtbase5-dev libqt5serialport5-dev libqt5sql5-sqlite
  qtconnectivity5-dev qttools5-dev qttools5-dev-tools libqcustomplot-dev libxlsxwriter-dev
  fonts-wqy-zenhei xvfb xauth poppler-utils python3-openpyxl python3-aiosmtpd socat openssl
  qttranslations5-l10n sqlite3 tzdata)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -o DPkg::Lock::Timeout=600
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-}
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target "$@"
else
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
fi
