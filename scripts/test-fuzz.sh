#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/CMakeLists.txt) with clang and libFuzzer into build-fuzz/ and runs
# each for a bounded time, FUZZ_SECONDS (20 by default), from its seed corpus fuzz/corpus/<target>/
# (new inputs go to build-fuzz/corpus/<target>/, not into the repository). An input that makes a
# target fail is written to fuzz/regressions/<target>/, which the plain test suite replays: keep
# it in the repository with the fix. Ends with "N passed, N failed", one count per target.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
targets=(listing_parser info_file settings_file wave_check set_file_reader)

if ! cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ || ! cmake --build build-fuzz -j2; then
    echo "The fuzz targets could not be built."
    echo "0 passed, ${#targets[@]} failed"
    exit 1
fi

passed=0
failed=0
for target in "${targets[@]}"; do
    work="build-fuzz/corpus/$target"
    mkdir -p "$work" "fuzz/regressions/$target"
    log="build-fuzz/fuzz_$target.log"
    # A hang of 10 s or 2 GB of memory for one input counts as a failure too.
    if UBSAN_OPTIONS="print_stacktrace=1" "build-fuzz/fuzz_$target" -max_total_time="$seconds" \
            -timeout=10 -rss_limit_mb=2048 -artifact_prefix="fuzz/regressions/$target/" \
            "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz_$target: clean after ${seconds} s ($(grep -c . <(ls "$work")) inputs in its corpus)"
        passed=$((passed + 1))
    else
        echo "fuzz_$target: FAILED; the input is kept in fuzz/regressions/$target/:"
        tail -n 40 "$log"
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
