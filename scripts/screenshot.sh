#!/usr/bin/env bash
# Renders the README's pictures of the main window from the real window:
#   bash scripts/screenshot.sh [--scale FACTOR] [login|messagesets|filetransfer]
# writes docs/main-window.png, or docs/main-window-FACTORx.png at a scale factor other than 1
# (e.g. --scale 1.5 gives docs/main-window-1.5x.png, as a high-density screen shows the window).
# The window starts in a scratch folder whose settings file fills in the login fields.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scale=1
if [[ ${1:-} == --scale ]]; then
    scale=${2:?"--scale needs a factor, e.g. 1.5"}
    shift 2
fi
output=docs/main-window.png
if [[ $scale != 1 && $scale != 1.0 ]]; then
    output=docs/main-window-${scale}x.png
fi
bash scripts/build.sh >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '[Login]\r\nIP0=192\r\nIP1=168\r\nIP2=0\r\nIP3=5\r\nUser Name=engineer\r\n' > "$scratch/Vantrel.ini"
mkdir -p "$scratch/target"
cd "$scratch"
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu QT_SCALE_FACTOR=$scale \
    "$root/build/tools/vantrel-screenshot" "$root/$output" "${1:-login}"
echo "wrote $output"
