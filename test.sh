#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless; ends with CTest's summary.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/deps.sh"
mireka_install "${MIREKA_BUILD_PACKAGES[@]}" "${MIREKA_TEST_PACKAGES[@]}"
cmake -S "$here" -B "$here/build-tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build-tests" -j"$(nproc)"
cd "$here/build-tests"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
