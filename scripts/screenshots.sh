#!/bin/sh
# screenshots.sh [DISPLAY_NUMBER]: makes the README's pictures in docs/ again: starts Xvfb (display :99
# unless given) with the openbox window manager and two virtual boards, and lets the screenshot tour
# open every window with a few rows of data in it. Run it again whenever a window changes.
set -eu
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="${BUILD:-$ROOT/build}"
NUMBER="${1:-99}"
./scripts/setup.sh screenshots
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target screenshot_tour varkel-sim varkel

WORK=$(mktemp -d)
pids=""
cleanup() {
    for p in $pids; do kill "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

export DISPLAY=":$NUMBER" XDG_RUNTIME_DIR="$WORK/runtime" LANG=C.UTF-8
mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb "$DISPLAY" -screen 0 1400x1000x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
pids="$pids $!"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$WORK/openbox.log" 2>&1 &
pids="$pids $!"

LINK="$WORK/COM1-link"
"$BUILD/sim/varkel-sim" --ids 0,1 --link "$LINK" >"$WORK/sim.out" &
pids="$pids $!"
for _ in $(seq 50); do [ -e "$LINK" ] && break; sleep 0.1; done
[ -e "$LINK" ] || { echo "the virtual boards did not start" >&2; exit 1; }
# A pose that is not all straight, for the sliders to show.
"$BUILD/tools/varkel" --port "$LINK" --id 0 send-positions 0 60 75 90 105 120 135 150 120 90 60 45 30 >/dev/null
"$BUILD/tools/varkel" --port "$LINK" --id 1 send-positions 0 30 45 60 90 110 130 150 170 90 80 70 60 >/dev/null

mkdir -p "$WORK/program" "$WORK/data"
./scripts/wire_ini.sh "$WORK/program/ORV.ini" "$LINK"
python3 - "$WORK/data" <<'PY'
import math, sys
out = sys.argv[1]
def write(name, lines):
    open(f"{out}/{name}", "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
header = ["NO", "DATA_NAME", "SPEED"] + [f"CH{n}" for n in range(1, 25)]
names = ["立つ", "右足を上げる", "右足を下ろす", "左足を上げる", "左足を下ろす", "おじぎ", "手を振る", "戻る"]
rows = [",".join(header)]
for r, name in enumerate(names):
    values = [str(round(40 * math.sin(r * 0.8 + n * 0.5))) for n in range(24)]
    rows.append(",".join([str(r + 1), name, str(r % 4)] + values))
write("motion.csv", rows)
motions = ["立つ", "歩く", "おじぎ", "手を振る", "右を向く", "左を向く"]
lines = ['"MOTION_NAME","COUNT"']
lines += [f"{motions[k] if k < len(motions) else 'None'},{[8, 12, 6, 10, 4, 4][k] if k < len(motions) else 0}"
          for k in range(40)]
lines.append('"MOTION_NUMBER","FILE_NAME"')
lines += [f"M{k},{motions[k]}" for k in (0, 1, 1, 2, 3, 1, 0)]
write("scenario.csv", lines)
lines = ["INDEX,SCENARIO,COUNT", "S0,あいさつ,7", "S1,散歩,12", "S2,None,0", "S3,None,0", "INDEX,MOTION,COUNT"]
lines += [f"M{k},{motions[k] if k < len(motions) else 'None'},{[8, 12, 6, 10, 4, 4][k] if k < len(motions) else 0}"
          for k in range(40)]
lines.append("INDEX,KEY,MOTION")
entries = {0: (1, 1), 1: (2, 2), 2: (4, 4), 3: (8, 5), 4: (3, 100), 5: (48, 101), 32: (128, 3), 33: (64, 0)}
lines += [f"{e},{entries.get(e, (0, 200))[0]},{entries.get(e, (0, 200))[1]}" for e in range(160)]
write("assignment.csv", lines)
PY

mkdir -p docs
"$BUILD/tools/screenshot_tour" "$WORK/program" "$WORK/data" "$ROOT/docs"
for f in docs/*.png; do
    size=$(stat -c %s "$f")
    [ "$size" -lt 204800 ] || { echo "$f is $size bytes, over 200 KB" >&2; exit 1; }
done
