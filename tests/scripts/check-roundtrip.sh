#!/usr/bin/env bash
# check-roundtrip.sh APP ACTIONS RECORDED-EXTENSION HOST EMULATOR...
# Records ACTIONS on a fresh APP ("HOST record --dump") into the language of RECORDED-EXTENSION (js, vbs),
# replays the recorded script on another fresh APP ("HOST run --dump") and checks that both runs end with 0
# (which includes the host's check that nothing of the run outlives it), that the recording left the
# application changed (against the dump of a run that does nothing), that the two dumps of every element's
# state are identical, and that the recording's output holds the lines of the "expect:" directives of
# ACTIONS ("//! expect: LINE" or "'! expect: LINE"), in their order (what the script read through Recorder).
set -u
. "$(cd "$(dirname "$0")" && pwd)/expectations.sh"
app=$1 actions=$2 ext=$3 host=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
run() { # log-name, then the host's arguments
    local log=$work/$1.log
    shift
    "$@" >"$log" 2>&1
}
echo "// nothing" >"$work/idle.js"
run idle "$@" "$host" run --dump "$(winpath "$work/idle.txt")" "$app" "$(winpath "$work/idle.js")" ||
    fail "the idle run ended with $?"
run record "$@" "$host" record --verbose --dump "$(winpath "$work/recorded.txt")" "$app" "$(winpath "$actions")" \
    --out "$(winpath "$work/recorded.$ext")" || fail "the recording ended with $?"
run replay "$@" "$host" run --verbose --dump "$(winpath "$work/replayed.txt")" "$app" \
    "$(winpath "$work/recorded.$ext")" || fail "the replay ended with $?"
for dump in idle recorded replayed; do
    [ -s "$work/$dump.txt" ] || fail "no state dump of the $dump run"
done
cmp -s "$work/idle.txt" "$work/recorded.txt" && fail "the recorded actions changed nothing"
cmp -s "$work/recorded.txt" "$work/replayed.txt" || {
    fail "the states after recording and after replaying differ"
    diff "$work/recorded.txt" "$work/replayed.txt" | tr -d '\r' | head -40
}
expects=()
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    case $line in
    "//! expect: "*) expects+=("=${line#"//! expect: "}") ;;
    "'! expect: "*) expects+=("=${line#"'! expect: "}") ;;
    esac
done <"$actions"
match_in_order "$(tr -d '\r' <"$work/record.log")" "the recording's output" "${expects[@]}"
grep -q "0 automation objects still referenced, 0 host and 0 application objects" "$work/record.log" ||
    fail "the recording left objects alive"
grep -q "0 automation objects still referenced, 0 host and 0 application objects" "$work/replay.log" ||
    fail "the replay left objects alive"
if [ $failed -ne 0 ]; then
    for log in record replay; do
        echo "--- $log"
        tr -d '\r' <"$work/$log.log"
    done
    echo "--- recorded script"
    tr -d '\r' <"$work/recorded.$ext"
    exit 1
fi
echo "$(basename "$actions"): $(grep -c . "$work/recorded.$ext") recorded lines of $ext replayed to the same state"
