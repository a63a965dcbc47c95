#!/bin/sh
# Makes the Debian package with cpack in a scratch folder, checks its fields and files, unpacks it
# with dpkg-deb -x and runs the three programs' --version from there. The AppStream and desktop entry
# validators and the manual check run when their tools are installed (scripts/setup.sh installs them).
# Arguments: the build folder, the project version.
set -u
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/out/orvane_"$version"_*.deb 2>/dev/null)
[ -f "$deb" ] || { ls -R "$work/out"; fail "no orvane_${version}_<arch>.deb"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orvane ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = electronics ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# Computed from the programs: Qt and libjpeg among them.
case "$(field Depends)" in
*libqt6widgets6*libjpeg62-turbo* | *libjpeg62-turbo*libqt6widgets6*) ;;
*) fail "Depends not computed from the programs: $(field Depends)" ;;
esac
[ "$(field Description | wc -l)" -ge 3 ] || fail "no long description: $(field Description)"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
for f in bin/orvane bin/varkel bin/varkel-sim share/applications/orvane.desktop \
    share/icons/hicolor/scalable/apps/orvane.svg share/icons/hicolor/48x48/apps/orvane.png \
    share/bash-completion/completions/varkel share/man/man1/orvane.1.gz share/man/man1/varkel.1.gz \
    share/man/man1/varkel-sim.1.gz share/doc/orvane/README.md share/doc/orvane/LICENSE \
    share/doc/orvane/docs/main-window.png; do
    [ -s "$root/usr/$f" ] || fail "the package lacks /usr/$f"
done
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null)
[ -s "$metainfo" ] || fail "the package lacks share/metainfo/*.metainfo.xml"

for p in orvane varkel varkel-sim; do
    out=$(env -i PATH=/usr/bin:/bin "$root/usr/bin/$p" --version 2>&1) || fail "$p --version exited $?: $out"
    [ "$out" = "$p $version" ] || fail "$p --version said '$out', not '$p $version'"
    # --help needs no display either, and never starts a window
    out=$(env -i PATH=/usr/bin:/bin "$root/usr/bin/$p" --help 2>&1) || fail "$p --help exited $?: $out"
    case "$out" in *"--version"*) ;; *) fail "$p --help does not list --version: $out" ;; esac
done

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1 || { cat "$work/as.log"; fail "metainfo"; }
else
    echo "appstreamcli not installed: metainfo not validated"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/orvane.desktop" || fail "desktop entry"
else
    echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v man >/dev/null; then
    for page in "$root"/usr/share/man/man1/*.1.gz; do
        warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
        [ "$(MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)" -gt 10 ] || fail "$(basename "$page") is nearly empty"
    done
fi
echo "package $(basename "$deb"): fields, files, versions and validators pass"
