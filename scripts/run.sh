#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool in the demo working directory demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
root=$(pwd)
mkdir -p demo
cd demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running the tool on a virtual X server (xvfb-run)." >&2
    exec xvfb-run -a "$root/build/Vantrel"
fi
exec "$root/build/Vantrel"
