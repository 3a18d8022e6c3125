#!/usr/bin/env bash
# Renders every page of the main window and a progress window offscreen at 9, 11 and 13 pt and at
# the scale factors 1.0, 1.5 and 2.0, and checks that no control is smaller than its minimum, no
# label or button text is cut and no two controls overlap. Exits 1 when any layout has a problem.
#   bash scripts/check-layouts.sh [CHECKER]   (builds the project first when CHECKER is not given)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -ge 1 ]]; then
    checker=$1
else
    bash scripts/build.sh >/dev/null
    checker=build/tools/layout-check/vantrel-layout-check
fi
status=0
for scale in 1.0 1.5 2.0; do
    QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu \
        QT_SCALE_FACTOR=$scale "$checker" 9 11 13 || status=1
done
exit $status
