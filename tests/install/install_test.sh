#!/bin/sh
# Installs into a temporary prefix and starts the installed program once: its folder cannot be written,
# so ORV.ini must appear under $XDG_CONFIG_HOME/orvane and nowhere beside the program.
# Arguments: the build folder.
set -u
build=$1
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; }

for f in bin/orvane bin/varkel bin/varkel-sim \
    share/applications/orvane.desktop \
    share/icons/hicolor/scalable/apps/orvane.svg \
    share/icons/hicolor/16x16/apps/orvane.png share/icons/hicolor/32x32/apps/orvane.png \
    share/icons/hicolor/48x48/apps/orvane.png share/icons/hicolor/64x64/apps/orvane.png \
    share/icons/hicolor/128x128/apps/orvane.png share/icons/hicolor/256x256/apps/orvane.png \
    share/doc/orvane/README.md share/doc/orvane/LICENSE; do
    [ -s "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/orvane" ] || fail "bin/orvane is not executable"
desktop-file-validate "$prefix/share/applications/orvane.desktop" || fail "desktop entry does not validate"

# An installed program's folder cannot be written. root writes anywhere, so run it as nobody then.
chmod -R a+rX "$work"
chmod a-w "$prefix/bin"
config=$work/config
runtime=$work/runtime
mkdir -p "$config" "$runtime"
chmod 777 "$config"
chmod 700 "$runtime"
as_user=""
if [ "$(id -u)" = 0 ]; then
    chown nobody "$runtime"
    as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
env -i PATH=/usr/bin:/bin HOME="$work" XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$runtime" \
    QT_QPA_PLATFORM=offscreen $as_user "$prefix/bin/orvane" >"$work/run.log" 2>&1 &
pid=$!
i=0
while [ ! -s "$config/orvane/ORV.ini" ] && [ $i -lt 100 ]; do
    kill -0 "$pid" 2>/dev/null || { cat "$work/run.log"; fail "the installed program ended on its own"; }
    sleep 0.1
    i=$((i + 1))
done
[ -s "$config/orvane/ORV.ini" ] || { cat "$work/run.log"; fail "no ORV.ini under XDG_CONFIG_HOME/orvane"; }
grep -q '^\[Orvane\]' "$config/orvane/ORV.ini" || fail "ORV.ini has no [Orvane] section"
[ ! -e "$prefix/bin/ORV.ini" ] || fail "ORV.ini written beside the installed program"
kill "$pid"
wait "$pid" 2>/dev/null
pid=""
echo "installed files present, desktop entry valid, settings under XDG_CONFIG_HOME"
