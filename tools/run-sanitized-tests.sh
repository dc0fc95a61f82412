#!/bin/sh
# Builds tests with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of their own and runs them; any report fails the run.
#   tools/run-sanitized-tests.sh [LABEL]
# LABEL "logic" (default): the tests of the libraries and the command line,
# the largest part whose second build fits CI's time on two cores; "all":
# every test. SANITIZE_BUILD_DIR (default: build-sanitize) names the folder.
set -eu

scope=${1:-logic}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${SANITIZE_BUILD_DIR:-$source_dir/build-sanitize}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

# -O1 keeps the reports' stacks readable at a fraction of -O0's run time.
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DTALLOWPEN_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=-O1 $flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags"
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
cmake --build . -j"$(nproc)" --target $targets

ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -L "$label"
