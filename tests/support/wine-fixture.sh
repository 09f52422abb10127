#!/usr/bin/env bash
# start PREFIX KEEPER.exe | stop PREFIX: one wine process kept alive for the test run.
set -u
cmd=$1 prefix=$2
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case $cmd in
start)
    keeper=$3
    ready=$prefix.ready
    rm -f "$ready"
    setsid wine "$keeper" "Z:$ready" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1 600); do
        [ -f "$ready" ] && exit 0
        sleep 0.1
    done
    echo "wine did not start within 60 s" >&2
    exit 1
    ;;
stop)
    wineserver -k 2>/dev/null
    exit 0
    ;;
esac
