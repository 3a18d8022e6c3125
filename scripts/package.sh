#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package of the tool with CPack in build/.
# Prints the path of the .deb as the only line on standard output (the rest goes to stderr).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
bash scripts/build.sh >&2
cd build
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cpack -G DEB | tee "$log" >&2
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log")
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    echo "package.sh: CPack made no .deb" >&2
    exit 1
fi
echo "$deb"
