#!/usr/bin/env bash
# heap-check.sh PREFIX PROGRAM ARGS...: runs a test program under wine with the heap checked at every
# allocation and free, and without the BSTR cache (so that every string is really freed). A heap warning
# fails the run as much as a failing test does.
set -u
prefix=$1
shift
out=$(mktemp)
WINEPREFIX=$prefix WINEDEBUG=-all,warn+heap,err+heap OANOCACHE=1 WINEDLLOVERRIDES="mscoree,mshtml=" \
    wine "$@" >"$out" 2>&1
status=$?
grep -v -E '^[0-9a-f]{4}:(fixme|err):(ole|hid|winediag|systray)' "$out" | grep -v -E 'wine32|multiarch|dpkg --add|apt-get install' 
warnings=$(grep -c -E ':(warn|err):heap:' "$out")
rm -f "$out"
echo "-- heap warnings: $warnings"
[ "$status" -eq 0 ] && [ "$warnings" -eq 0 ]
