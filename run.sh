#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Mireka: ./run.sh [FILE]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/deps.sh"
pkgs=("${MIREKA_BUILD_PACKAGES[@]}")
# Programs run in a terminal window; bring one when the machine has none.
if ! command -v x-terminal-emulator >/dev/null && ! command -v xterm >/dev/null \
   && { [ -z "${TERMINAL:-}" ] || ! command -v "$TERMINAL" >/dev/null; }; then
    pkgs+=(xterm)
fi
mireka_install "${pkgs[@]}"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DMIREKA_TESTS=OFF -DMIREKA_BENCH=OFF >/dev/null
cmake --build "$here/build" -j"$(nproc)"
exec "$here/build/mireka" "$@"
