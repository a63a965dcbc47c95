#!/bin/sh
# Builds Orvane and shows it at work on two virtual Varkel-1 boards (IDs 0 and 1) wired to COM1.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target varkel-sim varkel

LINK="$PWD/build/COM1-link"
build/sim/varkel-sim --ids 0,1 --link "$LINK" > build/varkel-sim.out &
SIM=$!
trap 'kill $SIM 2>/dev/null; wait $SIM 2>/dev/null || true' EXIT INT TERM
for _ in $(seq 50); do [ -e "$LINK" ] && break; sleep 0.1; done
echo "virtual boards on $(head -n1 build/varkel-sim.out), linked as $LINK"

run() { echo "\$ varkel $*"; build/tools/varkel --port "$LINK" "$@" || echo "(exit $?)"; }
run get-mode
run send-positions 0 90 80 70 60 50 40 30 20 10 0 180 90
run get-positions
run set-home
run --id 1 get-home
run write-motion-row 3 0 7 10 20 30 40 50 60 70 80 90 100 110 120
run set-motion-length 3 1
run read-motion-row 3 0
run get-motion-length 3
run --id 5 --attempts 3 get-mode
