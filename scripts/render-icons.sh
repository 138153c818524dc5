#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG (needs rsvg-convert, package librsvg2-bin).
# Run after changing src/resources/icons/mireka.svg and commit the result.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
for s in 16 24 32 48 64 128 256; do
    dir="$here/src/resources/desktop/hicolor/${s}x${s}/apps"
    mkdir -p "$dir"
    rsvg-convert -w "$s" -h "$s" "$here/src/resources/icons/mireka.svg" -o "$dir/mireka.png"
done
