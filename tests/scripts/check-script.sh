#!/usr/bin/env bash
# check-script.sh [--app FILE] [--exit N] [--expect-file FILE] [--loose] SCRIPT HOST EMULATOR...
# Runs "EMULATOR... HOST run [ARGS] APP SCRIPT" in the script's folder and checks the exit status and the
# output against the script's directives, comment lines that start with "//! " (JScript) or "'! " (VBScript):
#   app: FILE          the application, relative to the script's folder
#   args: OPTIONS      options of run (--verbose, --log FILE)
#   exit: N            the exit status (0 when not given)
#   expect: LINE       a line of the output ("expect:" alone: an empty one). The whole log is expected, in
#                      order: every line of every log entry, its "[kind] text" line and each indented line of
#                      its details or remark below it, is an expect line of its own; a line of an entry that
#                      no expect line names, or an expect line that does not come, fails the script. The
#                      host's own lines ("-- ...") may come between unexpected; expect them where they matter,
#                      as the closing "-- the script ran to its end: N log entries, ..." that pins the count.
#                      A log entry's line ends with its context, "  (okButton, ctrlWPFButton, 0.412 s, line 12)":
#                      LINE without it is compared with the entry's text, LINE with it ("  (okButton,
#                      ctrlWPFButton, line 12)", "  (line 3)") with the whole line, the time left out
#   expect-start: TEXT a line of the output that starts with TEXT (for texts of the script engines), in the
#                      same order as the expect lines
#   expect-reasons: [LINE]
#                      the details of the module's general error "An error occurred.", below its line: the
#                      four lines of its possible reasons and, with LINE, an empty line, "Technical
#                      information:" and LINE ("96 0x80020006 () Items": location, HRESULT, text, member)
#   expect-err: LINE   a line of the error output; these come in this order, others may come between
#   reject: TEXT       text that appears nowhere in the output
# --app, --exit, --expect-start and --reject stand in for the directives (for scripts that carry none, like the
# demos); --exit may list the statuses allowed, as "0|1"; --expect-file names a file whose lines are expect
# lines; --loose lets log entries come between the expected lines (for a run whose log is not the point).
set -u
. "$(cd "$(dirname "$0")" && pwd)/expectations.sh"
app= exit_expected=0 args= loose=
expects=() errs=() rejects=()
while [ $# -gt 0 ]; do
    case $1 in
    --app) app=$2; shift 2 ;;
    --exit) exit_expected=$2; shift 2 ;;
    --expect-start) expects+=("^$2"); shift 2 ;;
    --expect-file)
        while IFS= read -r line || [ -n "$line" ]; do expects+=("=${line%$'\r'}"); done <"$2"
        shift 2
        ;;
    --loose) loose=1; shift ;;
    --reject) rejects+=("$2"); shift 2 ;;
    *) break ;;
    esac
done
script=$1 host=$2
shift 2
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    case $line in
    "//! "*) directive=${line#"//! "} ;;
    "'! "*) directive=${line#"'! "} ;;
    *) continue ;;
    esac
    case $directive in
    "app: "*) app=${directive#app: } ;;
    "args: "*) args=${directive#args: } ;;
    "exit: "*) exit_expected=${directive#exit: } ;;
    "expect: "*) expects+=("=${directive#expect: }") ;;
    "expect:") expects+=("=") ;;
    "expect-start: "*) expects+=("^${directive#expect-start: }") ;;
    "expect-reasons:"*)
        expects+=("=    Possible reasons:" "=    1. The application stopped responding."
                  "=    2. The application was compiled incorrectly (see the Open Applications topic in the help system)."
                  "=    3. An error occurred in Orvane.")
        technical=${directive#expect-reasons:}
        [ -z "$technical" ] || expects+=("=" "=    Technical information:" "=   $technical")
        ;;
    "expect-err: "*) errs+=("=${directive#expect-err: }") ;;
    "reject: "*) rejects+=("${directive#reject: }") ;;
    *) echo "check-script: unknown directive '$directive' in $script" >&2; exit 1 ;;
    esac
done <"$script"
[ -n "$app" ] || { echo "check-script: $script names no application (//! app: FILE)" >&2; exit 1; }

cd "$(dirname "$script")"
errfile=$(mktemp)
trap 'rm -f "$errfile"' EXIT
# shellcheck disable=SC2086 # the options are words
output=$("$@" "$host" run $args "$app" "$(basename "$script")" 2>"$errfile")
status=$?
# The host always prints something; nothing at all is wine failing to start it (seen once in a CI run): once
# more.
if [ -z "$output" ] && [ ! -s "$errfile" ]; then
    # shellcheck disable=SC2086
    output=$("$@" "$host" run $args "$app" "$(basename "$script")" 2>"$errfile")
    status=$?
fi
output=${output//$'\r'/}
errors=$(tr -d '\r' <"$errfile")

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
case "|$exit_expected|" in *"|$status|"*) ;; *) fail "exit status $status, expected $exit_expected" ;; esac

if [ -n "$loose" ]; then
    match_in_order "$output" "the output" "${expects[@]}"
else
    match_log "$output" "the log" "${expects[@]}"
fi
match_in_order "$errors" "the error output" "${errs[@]}"
for rejected in "${rejects[@]}"; do
    case $output in *"$rejected"*) fail "the output holds: $rejected" ;; esac
done

if [ $failed -ne 0 ]; then
    echo "--- output of $(basename "$script") (exit $status)"
    echo "$output"
    echo "--- error output"
    echo "$errors"
    exit 1
fi
echo "$(basename "$script"): exit $status, ${#expects[@]} expected line(s) found"
