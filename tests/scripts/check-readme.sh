#!/usr/bin/env bash
# check-readme.sh README APP HOST EMULATOR...
# Runs every example of README whose fence says its exit code ("```js exit=1", "```vbs exit=0") as
# "HOST run APP EXAMPLE" and checks that it ends with that code: the README's examples run as they stand.
set -u
readme=$1 app=$2 host=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }
failed=0 count=0 inside=
while IFS= read -r line || [ -n "$line" ]; do
    if [ -z "$inside" ] && [[ $line =~ ^\`\`\`(js|vbs)\ exit=([0-9]+)$ ]]; then
        count=$((count + 1))
        inside=$work/example$count.${BASH_REMATCH[1]}
        echo "${BASH_REMATCH[2]}" >"$inside.exit"
        : >"$inside"
    elif [ -n "$inside" ] && [ "$line" = '```' ]; then
        output=$("$@" "$host" run "$(winpath "$app")" "$(winpath "$inside")" 2>&1)
        status=$?
        if [ "$status" != "$(cat "$inside.exit")" ]; then
            echo "FAILED: example $count ended with $status, expected $(cat "$inside.exit")"
            cat "$inside"
            echo "--- its output"
            echo "$output"
            failed=1
        fi
        inside=
    elif [ -n "$inside" ]; then
        echo "$line" >>"$inside"
    fi
done <"$readme"
[ $count -gt 0 ] || { echo "FAILED: the README has no examples with an exit code"; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "$count README examples ended as their fences say"
