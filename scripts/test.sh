#!/usr/bin/env bash
# Installs what is missing, builds, and runs the plain test suite, which also replays every fuzz
# regression and seed input. With --all (what CI runs) it also builds the benchmarks, runs the
# suite again built with AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/test-sanitize.sh) and each fuzz target for a bounded time (scripts/test-fuzz.sh). Each
# stage runs even when one before it failed. The last line sums the stages up as
# "N passed, N failed" (tests of the suites and fuzz targets).
set -uo pipefail
cd "$(dirname "$0")/.."
all=false
case "${1:-}" in
    "") ;;
    --all) all=true ;;
    *)
        echo "Usage: bash scripts/test.sh [--all]" >&2
        exit 2
        ;;
esac
bash scripts/install-deps.sh || exit 1
build_options=()
if $all; then
    build_options+=(--bench)
fi
if ! bash scripts/build.sh "${build_options[@]}"; then
    echo "0 passed, 1 failed"
    exit 1
fi

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
passed=0
failed=0
# Runs one stage, its output shown and kept, and adds its counts from its closing summary: the
# CTest one ("... tests failed out of T") or "N passed, N failed". A stage that fails without
# counting a failure counts as one.
stage() {
    local name="$1"
    shift
    "$@" 2>&1 | tee "$logs/$name.log"
    local code="${PIPESTATUS[0]}"
    local p=0 f=0 line
    if line="$(grep -E 'tests failed out of [0-9]+' "$logs/$name.log" | tail -n 1)"; then
        f="$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")"
        p=$(($(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line") - f))
    elif line="$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$logs/$name.log" | tail -n 1)"; then
        p="${line%% *}"
        f="$(sed -E 's/.*, ([0-9]+) failed/\1/' <<<"$line")"
    fi
    if [ "$code" -ne 0 ] && [ "$f" -eq 0 ]; then
        f=1
    fi
    passed=$((passed + p))
    failed=$((failed + f))
}
# Four at a time: most tests wait on the simulator's timeouts, not on the two cores.
stage tests bash -c 'cd build && ctest --output-on-failure --timeout 600 -j4'
if $all; then
    stage sanitize bash scripts/test-sanitize.sh
    stage fuzz bash scripts/test-fuzz.sh
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
