#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs it. Any error a sanitizer finds ends the test that met it. The CTest
# summary ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# -O1 and line tables only (-g1) keep the build short on two cores and the reports readable (file
# and line in every frame); the benchmarks are left out.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
    -DCMAKE_CXX_FLAGS="$sanitizers" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers"
cmake --build build-sanitize -j2
cd build-sanitize
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The package test packs and starts the plain build's programs; it has nothing to add here.
ctest --output-on-failure --timeout 900 -j2 -LE package
