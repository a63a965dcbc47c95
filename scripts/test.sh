#!/bin/sh
# Builds everything and runs all tests; then builds the fast suites without windows under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs them (leaks are errors).
# ORVANE_SKIP_SANITIZE=1 skips the second part. Arguments go to the first ctest run.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure "$@"

[ -n "${ORVANE_SKIP_SANITIZE:-}" ] && exit 0
SUITES="textfile protocol serial sim session motion graph tools teaching"
targets=""
for s in $SUITES; do targets="$targets ${s}_tests"; done
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=address,undefined >/dev/null
# shellcheck disable=SC2086
cmake --build build-asan --target $targets
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
export QT_QPA_PLATFORM=offscreen
failed=""
for s in $SUITES; do
    echo "== ${s}_tests under address,undefined"
    "build-asan/tests/$s/${s}_tests" --gtest_brief=1 || failed="$failed ${s}_tests"
done
[ -z "$failed" ] || { echo "failed under the sanitizers:$failed" >&2; exit 1; }
echo "all sanitized suites passed"
