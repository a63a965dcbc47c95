#!/bin/sh
# Installs every Debian package that building, running and testing Orvane need.
# Idempotent: packages already present are not fetched again.
set -eu
PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev \
libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev desktop-file-utils \
fonts-ipafont-gothic qt6-translations-l10n xvfb x11-apps xauth xdotool python3 clang-format git ccache \
appstream help2man bash-completion dpkg-dev man-db"
# `setup.sh fuzz`: also the compiler and runtime of the fuzz targets (scripts/fuzz.sh; with them
# installed, scripts/test.sh runs each target for a few seconds too).
[ "${1:-}" = fuzz ] && PACKAGES="$PACKAGES clang libclang-rt-14-dev"
# `setup.sh screenshots`: the window manager that scripts/screenshots.sh runs on Xvfb.
[ "${1:-}" = screenshots ] && PACKAGES="$PACKAGES openbox x11-utils"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
