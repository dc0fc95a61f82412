#!/bin/sh
# Builds the libFuzzer targets with clang in a build folder of their own and
# runs each for a bounded time: the script reader, the links file, the tag
# tokenizer, and the checks and fit on arbitrary text.
# Usage: tools/run-fuzz.sh [seconds per target] (default 30).
# FUZZ_PREBUILT=1 runs the targets already built in FUZZ_BUILD_DIR (the
# sanitized tests' build makes them so that CI compiles the tree once).
# New inputs the fuzzer finds stay in the build folder; the seed corpus in
# tests/fuzz/corpus/<target> is only read. Exits non-zero when a target finds a fault.
set -eu

seconds=${1:-30}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FUZZ_BUILD_DIR:-$source_dir/build-fuzz}

targets="fuzz_scriptreader fuzz_linksfile fuzz_tags fuzz_checkfit"
if [ -z "${FUZZ_PREBUILT:-}" ]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTALLOWPEN_FUZZ=ON -DTALLOWPEN_BUILD_TESTS=OFF -DTALLOWPEN_BUILD_BENCH=OFF \
        "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" \
        "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address"
    # shellcheck disable=SC2086 # one word per target
    cmake --build "$build_dir" -j2 --target $targets
fi

for target in $targets; do
    work="$build_dir/fuzz/corpus-$target"
    mkdir -p "$work"
    "$build_dir/fuzz/$target" "$work" "$source_dir/tests/fuzz/corpus/${target#fuzz_}" \
        -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -artifact_prefix="$build_dir/fuzz/"
done
