#!/bin/sh
# Process start to main window shown, on a full ORV.ini, under Xvfb: the whole start as a user sees it.
# Usage: bench/startup.sh [BUILD_DIR]   (default: build)
set -eu
BUILD="$(realpath "${1:-build}")"
WORK="$(mktemp -d)"
trap 'kill $XV 2>/dev/null || true; rm -rf "$WORK"' EXIT
cp "$BUILD/app/orvane" "$WORK/"
python3 - "$WORK/ORV.ini" <<'PY'
import sys
lines = ["[Orvane]", "Check=OK", "CommPort=0", "CH1-12ID=0", "CH13-24ID=1", "MainTop=10", "MainLeft=10",
         "ListView=1", "ListTop=20", "ListLeft=600", "ListWidth=700", "ListHeight=400",
         "GraphView=1", "GraphTop=500", "GraphLeft=20", "GraphWidth=700"]
for n in range(1, 25):
    lines += [f"ServoName{n}=サーボ{n}", f"PanelColor{n}={n * 12345}", f"PanelView{n}=1"]
lines.append("PanelList=3")
for d in range(1, 11):
    lines.append(f"PanelName{d}=配置{d}")
    for p in range(25):
        lines += [f"PanelLeft{d}_{p}={p}", f"PanelTop{d}_{p}={p * 12}"]
lines += [f"HomePos_{n}=90" for n in range(1, 25)]
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
PY
export DISPLAY=:87 XDG_RUNTIME_DIR="$WORK"
Xvfb :87 -screen 0 1280x1024x24 >/dev/null 2>&1 &
XV=$!
sleep 1
cd "$WORK"
for i in 1 2 3 4 5 6 7 8; do
    start=$(date +%s%N)
    ./orvane >/dev/null 2>&1 &
    P=$!
    tries=0
    until timeout 1 xdotool search --onlyvisible --name "Orvane Ver1.4" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -lt 5000 ] || { echo "run $i: the window did not show" >&2; exit 1; }
    done
    end=$(date +%s%N)
    echo "run $i: $(( (end - start) / 1000000 )) ms from exec to main window mapped"
    if ! kill $P 2>/dev/null; then
        wait $P && rc=0 || rc=$?
        echo "run $i: the program had already ended (exit $rc)" >&2
    fi
    wait $P 2>/dev/null || true
done
