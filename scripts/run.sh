#!/bin/sh
# Builds Orvane and starts it on two virtual Varkel-1 boards (IDs 0 and 1) wired to COM1.
# The boards stop when the program ends.
set -eu
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="${BUILD:-$ROOT/build}"
./scripts/setup.sh
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target orvane varkel-sim

LINK="$BUILD/COM1-link"
"$BUILD/sim/varkel-sim" --ids 0,1 --link "$LINK" > "$BUILD/varkel-sim.out" &
SIM=$!
trap 'kill $SIM 2>/dev/null; wait $SIM 2>/dev/null || true' EXIT INT TERM
for _ in $(seq 50); do [ -e "$LINK" ] && break; sleep 0.1; done
[ -e "$LINK" ] || { echo "the virtual boards did not start" >&2; exit 1; }
echo "virtual boards on $(head -n1 "$BUILD/varkel-sim.out"), linked as $LINK"

# ORV.ini lives beside the program. Wire COM1 to the boards and choose it, unless the user already has.
INI="$BUILD/app/ORV.ini"
[ -f "$INI" ] || printf '[Orvane]\r\n' > "$INI"
if ! grep -q '^\[Ports\]' "$INI"; then
    printf '[Ports]\r\nCOM1=%s\r\n' "$LINK" >> "$INI"
elif ! grep -q '^COM1=' "$INI"; then
    sed -i "s#^\[Ports\]\r\?\$#&\nCOM1=$LINK\r#" "$INI"
fi
if ! grep -q '^CommPort=' "$INI"; then
    if grep -q '^\[Orvane\]' "$INI"; then
        sed -i "0,/^\[Orvane\]\r\?\$/s##&\nCommPort=1\r#" "$INI"
    else
        printf '[Orvane]\r\nCommPort=1\r\n' >> "$INI"
    fi
fi

"$BUILD/app/orvane"
