#!/usr/bin/env bash
# Renders the README's picture of the main window from the real window (docs/main-window.png).
# The window starts in a scratch folder whose settings file fills in the login fields.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/build.sh >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '[Login]\r\nIP0=192\r\nIP1=168\r\nIP2=0\r\nIP3=5\r\nUser Name=engineer\r\n' > "$scratch/Vantrel.ini"
mkdir -p "$scratch/target"
cd "$scratch"
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu \
    "$root/build/tools/vantrel-screenshot" "$root/docs/main-window.png" "${1:-login}"
echo "wrote docs/main-window.png"
