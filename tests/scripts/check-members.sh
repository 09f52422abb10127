#!/usr/bin/env bash
# check-members.sh DOC HOST EMULATOR...
# DOC (docs/members.md) is what "OVHookX64 members" prints, line for line (carriage returns aside): the
# reference of the members cannot fall behind the type libraries. Write it anew with
#   tools/ovhost members > docs/members.md
set -u
doc=$1 host=$2
shift 2
output=$("$@" "$host" members 2>/dev/null)
status=$?
output=${output//$'\r'/}
if [ "$status" != 0 ]; then
    echo "FAILED: OVHookX64 members: exit status $status"
    exit 1
fi
if [ "$output" != "$(tr -d '\r' <"$doc")" ]; then
    echo "FAILED: $doc is not what OVHookX64 members prints (< the file, > the output); write it anew with"
    echo "    tools/ovhost members > docs/members.md"
    diff <(tr -d '\r' <"$doc") - <<<"$output" | grep '^[<>]' | head -40
    exit 1
fi
echo "$(basename "$doc"): $(wc -l <<<"$output") lines, as OVHookX64 members prints them"
