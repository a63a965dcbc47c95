#!/bin/sh
# Builds Orvane and starts it on two virtual Varkel-1 boards (IDs 0 and 1) wired to COM1.
# The boards stop when the program ends. Also builds varkel: $BUILD/tools/varkel --port $BUILD/COM1-link get-mode
# Arguments go to the boards: ./scripts/run.sh --hand sim/hand_demo.txt
set -eu
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="${BUILD:-$ROOT/build}"
./scripts/setup.sh
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target orvane varkel-sim varkel

LINK="$BUILD/COM1-link"
"$BUILD/sim/varkel-sim" --ids 0,1 --link "$LINK" "$@" > "$BUILD/varkel-sim.out" &
SIM=$!
trap 'kill $SIM 2>/dev/null; wait $SIM 2>/dev/null || true' EXIT INT TERM
for _ in $(seq 50); do [ -e "$LINK" ] && break; sleep 0.1; done
[ -e "$LINK" ] || { echo "the virtual boards did not start" >&2; exit 1; }
echo "virtual boards on $(head -n1 "$BUILD/varkel-sim.out"), linked as $LINK"

# ORV.ini lives beside the program. Wire COM1 to the boards, choose it and address board 1 for
# channels 13 to 24, unless the user already has.
./scripts/wire_ini.sh "$BUILD/app/ORV.ini" "$LINK"

"$BUILD/app/orvane"
