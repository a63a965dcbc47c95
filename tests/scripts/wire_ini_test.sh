#!/bin/sh
# wire_ini.sh: a fresh ORV.ini addresses both virtual boards; keys the user set are left alone.
set -eu
WIRE="$(dirname "$0")/../../scripts/wire_ini.sh"
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
fail() { echo "FAIL: $1" >&2; od -c "$2" >&2; exit 1; }

"$WIRE" "$DIR/fresh.ini" /tmp/link
printf '[Orvane]\r\nCH13-24ID=1\r\nCommPort=1\r\n[Ports]\r\nCOM1=/tmp/link\r\n' > "$DIR/want"
cmp -s "$DIR/fresh.ini" "$DIR/want" || fail "fresh file" "$DIR/fresh.ini"

printf '[Orvane]\r\nCH13-24ID=255\r\nCommPort=4\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\n' > "$DIR/user.ini"
cp "$DIR/user.ini" "$DIR/want"
"$WIRE" "$DIR/user.ini" /tmp/link
cmp -s "$DIR/user.ini" "$DIR/want" || fail "user keys kept" "$DIR/user.ini"

printf '[Graph]\r\nX=1\r\n' > "$DIR/other.ini"
"$WIRE" "$DIR/other.ini" /tmp/link
grep -q '^CH13-24ID=1' "$DIR/other.ini" || fail "second board in a file without [Orvane]" "$DIR/other.ini"
echo ok
