#!/bin/sh
# wire_ini.sh INI LINK: points COM1 at the virtual boards' LINK, chooses COM1 and addresses the second
# board (ID 1) for channels 13 to 24, each only where INI has no such key yet. Lines end in CR LF.
set -eu
INI="$1"
LINK="$2"
[ -f "$INI" ] || printf '[Orvane]\r\n' > "$INI"
if ! grep -q '^\[Ports\]' "$INI"; then
    printf '[Ports]\r\nCOM1=%s\r\n' "$LINK" >> "$INI"
elif ! grep -q '^COM1=' "$INI"; then
    sed -i "s#^\[Ports\]\r\?\$#&\nCOM1=$LINK\r#" "$INI"
fi
# key=value into [Orvane] unless the key is there
default_key() {
    grep -q "^$1=" "$INI" && return 0
    if grep -q '^\[Orvane\]' "$INI"; then
        sed -i "0,/^\[Orvane\]\r\?\$/s##&\n$1=$2\r#" "$INI"
    else
        printf '[Orvane]\r\n%s=%s\r\n' "$1" "$2" >> "$INI"
    fi
}
default_key CommPort 1
default_key CH13-24ID 1
