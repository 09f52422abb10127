#!/usr/bin/env bash
# check-junit.sh SCHEMA SUITE APP HOST EMULATOR...
# Runs "HOST test --junit" over the folder SUITE, whose scripts pass and fail in known ways, and
# "HOST run --junit APP SUITE/failing.js"; checks the exit codes, the line per script and the last line of
# test, validates both reports against SCHEMA (xmllint --schema) and checks their totals and a failed
# check's testcase.
set -u
schema=$1 suite=$2 app=$3 host=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
xpath() { xmllint --xpath "$2" "$1" 2>/dev/null; }
# The report validates, and holds these totals: tests, failures, errors.
check_report() {
    local report=$1
    xmllint --noout --schema "$schema" "$report" || fail "$(basename "$report") does not validate"
    local totals
    totals="$(xpath "$report" 'string(/testsuites/@tests)') $(xpath "$report" 'string(/testsuites/@failures)')"
    totals+=" $(xpath "$report" 'string(/testsuites/@errors)')"
    [ "$totals" = "$2" ] || fail "$(basename "$report"): tests, failures, errors $totals, expected $2"
    local check
    check=$(xpath "$report" 'string(//testcase[@name="ok is a check box"]/failure)')
    [ "${check%%$'\n'*}" = "line 4: ok is a check box" ] || fail "$(basename "$report"): the failed check says '$check'"
}

output=$("$@" "$host" test --junit "$(winpath "$work/test.xml")" "$(winpath "$suite")" 2>&1)
status=$?
output=${output//$'\r'/}
[ "$status" = 1 ] || fail "test ended with $status, expected 1"
# Patterns of bash: * any text, \\ a backslash, \[ \] brackets.
expected=(
    'passed  *suite\\beside.js  (*s)'
    'FAILED  *suite\\broken.js: exit 2, the script failed  (*s)'
    '    \[script error\] line 3, column 9: Syntax error*'
    'passed  *suite\\checks.js  (*s)'
    'passed  *suite\\checks.vbs  (*s)'
    'FAILED  *suite\\failing.js: exit 1, an error was logged  (*s)'
    '    \[error\] Check failed: ok is a check box  (* s, line 4)'
    '        a button is no check box'
    '    \[error\] the test could not go on  (* s, line 5)'
    '3 passed, 2 failed'
)
mapfile -t lines <<<"$output"
i=0
for pattern in "${expected[@]}"; do
    while [ $i -lt ${#lines[@]} ] && [[ ${lines[$i]} != $pattern ]]; do i=$((i + 1)); done
    [ $i -lt ${#lines[@]} ] || fail "test's output lacks (in this order): $pattern"
done
[ "${lines[-1]}" = "3 passed, 2 failed" ] || fail "test's last line is '${lines[-1]}'"
# Five scripts and five checks; the failed script and its failed check, the broken script.
check_report "$work/test.xml" "10 2 1"

"$@" "$host" run --junit "$(winpath "$work/run.xml")" "$(winpath "$app")" "$(winpath "$suite/failing.js")" \
    >"$work/run.log" 2>&1
status=$?
[ "$status" = 1 ] || fail "run ended with $status, expected 1"
check_report "$work/run.xml" "3 2 0"

if [ $failed -ne 0 ]; then
    echo "--- output of test (exit $status)"
    echo "$output"
    exit 1
fi
echo "test and run --junit: reports valid, totals as expected"
