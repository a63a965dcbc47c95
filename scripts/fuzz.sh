#!/bin/sh
# fuzz.sh [SECONDS] [TARGET...]: builds the fuzz targets with clang in build-fuzz/ and runs each for
# SECONDS (default 30) from its seeds; corpora grow in build-fuzz/corpus/, crashes land in
# build-fuzz/findings/. Exit 1 when a target found something.
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-30}"
[ $# -gt 0 ] && shift
TARGETS="${*:-motion_file scenario_file assignment_file board_image home_file settings_file comma_rule code_page reply}"
BUILD="${FUZZ_BUILD:-build-fuzz}"
./scripts/setup.sh fuzz
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DORVANE_FUZZ=ON >/dev/null
cmake --build "$BUILD" --target fuzzers
mkdir -p "$BUILD/findings"
status=0
for t in $TARGETS; do
    mkdir -p "$BUILD/corpus/$t"
    echo "== $t: $SECONDS_EACH s"
    if ! "$BUILD/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -artifact_prefix="$BUILD/findings/$t-" -max_len=65536 \
        "$BUILD/corpus/$t" "fuzz/seeds/$t" 2>"$BUILD/$t.log"; then
        status=1
        echo "   FOUND something: see $BUILD/$t.log and $BUILD/findings/"
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$BUILD/$t.log" | sed 's/^/   /'
done
exit $status
