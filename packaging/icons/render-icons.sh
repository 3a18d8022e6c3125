#!/usr/bin/env bash
# Renders the hicolor PNG sizes of the program's icon from its SVG (run after changing the SVG;
# the PNGs are kept in the repository so that a build needs no SVG renderer).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" com.orvanta.Vantrel.svg -o "com.orvanta.Vantrel-$size.png"
done
