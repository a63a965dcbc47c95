#!/bin/sh
# Builds the program and its tests and runs them all; then builds every suite without windows (ctest
# label `nowindow`) under AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs it
# (leaks are errors). With clang installed, that build is made with clang and also holds the fuzz
# targets, each run for a few seconds (label `fuzz`). ORVANE_SKIP_SANITIZE=1 skips the second part.
# Arguments go to the first ctest run (-j1 runs its tests one at a time).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
# Two at a time: most tests wait on the line or on timers, not on the processor.
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2 "$@"

[ -n "${ORVANE_SKIP_SANITIZE:-}" ] && exit 0
labels=nowindow
targets=nowindow_tests
compiler=""
probe=$(mktemp -d)
if command -v clang++ >/dev/null 2>&1 &&
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer -o "$probe/probe" - >/dev/null 2>&1; then
    compiler="-DCMAKE_CXX_COMPILER=clang++ -DORVANE_FUZZ=ON"
    labels="nowindow|fuzz"
    targets="$targets fuzzers"
else
    compiler="-DCMAKE_CXX_COMPILER=g++ -DORVANE_FUZZ=OFF"
    echo "clang with libFuzzer not installed: the fuzz targets do not run (scripts/setup.sh fuzz)"
fi
rm -rf "$probe"
# shellcheck disable=SC2086
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=address,undefined \
    -DORVANE_TEST_CASES=OFF $compiler >/dev/null
# shellcheck disable=SC2086
cmake --build build-asan --target $targets
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan -L "$labels" --output-on-failure -j2
echo "all sanitized suites passed"
