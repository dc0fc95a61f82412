#!/bin/sh
# Builds tests with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of their own and runs them; any report fails the run.
#   tools/run-sanitized-tests.sh [LABEL] [--fuzz SECONDS]
# LABEL "logic" (default): the tests of the libraries and the command line,
# the largest part whose second build fits CI's time on two cores; "all":
# every test. With --fuzz the same build, made with clang, also holds the
# fuzzers, which then run SECONDS each: CI compiles the tree once for both.
# SANITIZE_BUILD_DIR (default: build-sanitize) names the folder. Links with
# lld (Debian package lld), as tools/tallowpen.sh does.
set -eu

scope=${1:-logic}
fuzz_seconds=
if [ "${2:-}" = --fuzz ]; then
    fuzz_seconds=${3:?--fuzz needs the seconds per fuzzer}
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${SANITIZE_BUILD_DIR:-$source_dir/build-sanitize}
# Line tables are all a sanitizer's report needs; full debug information
# made the build and its links the slowest step of CI.
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -gline-tables-only"
fuzz_targets="fuzz_scriptreader fuzz_linksfile fuzz_tags fuzz_checkfit"

# -O1 keeps the reports' stacks readable at a fraction of -O0's run time.
# This tree is always built whole and from scratch, so it compiles each
# library's files together: that parses the Qt headers once per group and
# took a third off the build's processor time.
if [ -n "$fuzz_seconds" ]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG= \
        -DTALLOWPEN_BUILD_BENCH=OFF -DTALLOWPEN_FUZZ=ON -DCMAKE_UNITY_BUILD=ON \
        "-DCMAKE_CXX_FLAGS=-O1 $flags -fsanitize=fuzzer-no-link" "-DCMAKE_EXE_LINKER_FLAGS=$flags -fuse-ld=lld"
else
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG= -DTALLOWPEN_BUILD_BENCH=OFF \
        -DCMAKE_UNITY_BUILD=ON \
        "-DCMAKE_CXX_FLAGS=-O1 $flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags -fuse-ld=lld"
    fuzz_targets=
fi
cd "$build_dir"
if [ "$scope" = all ]; then
    label=.
else
    label="^$scope\$"
fi
# A test's target has the test's name.
targets=$(ctest -N -L "$label" | sed -n 's/^ *Test *#[0-9]*: //p')
[ -n "$targets" ] || { echo "no test has the label $scope" >&2; exit 2; }
# shellcheck disable=SC2086 # one word per target
cmake --build . -j"$(nproc)" --target $targets $fuzz_targets

ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -L "$label"

if [ -n "$fuzz_seconds" ]; then
    FUZZ_BUILD_DIR="$build_dir" FUZZ_PREBUILT=1 "$source_dir/tools/run-fuzz.sh" "$fuzz_seconds"
fi
