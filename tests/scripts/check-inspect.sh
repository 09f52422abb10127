#!/usr/bin/env bash
# check-inspect.sh EXPECTED HOST EMULATOR...
# Runs "EMULATOR... HOST inspect [--visual|--json] APP" in EXPECTED's folder and checks:
#   - the default tree is EXPECTED's tree, line for line, with every rectangle written "()" (the layout
#     decides them): structure, names, classes, kinds, statements, texts, states, items, nodes and menus;
#   - every rectangle, also of the template parts (--visual), is well-formed (no negative size) and lies
#     inside its parent's (an item container may reach below it: the row its list's viewport cuts);
#   - --visual shows the same objects in the same order, and template parts besides;
#   - --json holds one object per line of the tree and one item per line of items, nodes and menus (its
#     validity and contents: tests/host/InspectTest.cpp);
#   - --members adds one line of members below each control that has a statement;
#   - an element's event handlers are one line below it ("handlers  Click Save_Click");
#   - an application that cannot be read ends with 3, a wrong option with 64.
# EXPECTED: "# " comment lines, "app: FILE" (relative to its folder), then the tree.
set -u
expected_file=$1 host=$2
shift 2
app=
expected=()
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    case $line in
    "#"*) ;;
    "app: "*) app=${line#app: } ;;
    *) expected+=("$line") ;;
    esac
done <"$expected_file"
[ -n "$app" ] || { echo "check-inspect: $expected_file names no application (app: FILE)" >&2; exit 1; }
cd "$(dirname "$expected_file")"

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
# inspect OPTIONS...: the output in $output (without carriage returns), the exit status in $status.
inspect() {
    output=$("$@" 2>/tmp/check-inspect.$$)
    status=$?
    output=${output//$'\r'/}
    errors=$(tr -d '\r' </tmp/check-inspect.$$)
    rm -f /tmp/check-inspect.$$
}
rect='\((-?[0-9]+), (-?[0-9]+), (-?[0-9]+), (-?[0-9]+)\)'
# The lines below an object that show its items, nodes, menu items and members.
item_line='^ *((item [0-9]+|node|menu|context menu)  "|members  )'

# Rectangles: well-formed, inside the parent's (the nearest line above one level less indented).
check_rects() {
    awk -v what="$1" '
    {
        match($0, /^ */); depth = RLENGTH / 2
        if (depth > last + 1) { printf "%s line %d: indented by more than one level\n", what, NR; bad = 1 }
        for (d = depth; d <= last; ++d) has[d] = 0
        last = depth
        if (match($0, /\((-?[0-9]+), (-?[0-9]+), (-?[0-9]+), (-?[0-9]+)\)/)) {
            split(substr($0, RSTART + 1, RLENGTH - 2), r, ", ")
            l = r[1] + 0; t = r[2] + 0; w = r[3] + 0; h = r[4] + 0
            if (w < 0 || h < 0) { printf "%s line %d: negative size: %s\n", what, NR, $0; bad = 1 }
            # A scrolled list realizes the row that its viewport cuts: an item may reach below its list.
            bottom = t + h
            if ($0 ~ /Item  [0-9]+ ctrlWPF/ && t <= B[depth - 1]) bottom = t
            # A toolbar'"'"'s thumb has a negative margin in WPF'"'"'s template: it reaches out of its panel.
            out = ($0 ~ /^ *ToolBarThumb  /)
            if (depth > 0 && has[depth - 1] && !out &&
                (l < L[depth - 1] || t < T[depth - 1] || l + w > R[depth - 1] || bottom > B[depth - 1])) {
                printf "%s line %d: outside its parent: %s\n", what, NR, $0; bad = 1
            }
            has[depth] = 1; L[depth] = l; T[depth] = t; R[depth] = l + w; B[depth] = t + h
        }
    }
    END { exit bad }'
}

inspect "$@" "$host" inspect "$app"
default=$output
[ "$status" = 0 ] || fail "inspect: exit status $status, expected 0 ($errors)"
normalized=$(sed -E "s/$rect/()/g" <<<"$default")
if [ "$normalized" != "$(printf '%s\n' "${expected[@]}")" ]; then
    fail "the tree differs from $(basename "$expected_file") (< expected, > shown):"
    diff <(printf '%s\n' "${expected[@]}") - <<<"$normalized" | grep '^[<>]'
fi
check_rects "inspect" <<<"$default" || fail "rectangles of the tree"

inspect "$@" "$host" inspect --visual "$app"
visual=$output
[ "$status" = 0 ] || fail "inspect --visual: exit status $status, expected 0 ($errors)"
check_rects "inspect --visual" <<<"$visual" || fail "rectangles of the visual tree"
grep -q '  \[template part\]$' <<<"$visual" || fail "inspect --visual shows no template part"
[ "$(grep -v '  \[template part\]$' <<<"$visual" | sed 's/^ *//')" = "$(sed 's/^ *//' <<<"$default")" ] ||
    fail "inspect --visual does not show the objects of the tree in their order"

inspect "$@" "$host" inspect --json "$app"
[ "$status" = 0 ] || fail "inspect --json: exit status $status, expected 0 ($errors)"
[ "${output:0:16}" = '{"application": ' ] && [ "${output: -1}" = "}" ] || fail "inspect --json: not one document"
objects=$(grep -o '{"object": ' <<<"$output" | wc -l)
lines=$(grep -cEv "$item_line|^ *handlers  " <<<"$default")
[ "$objects" = "$lines" ] || fail "inspect --json: $objects objects for $lines lines"
items=$(grep -oE '\{"kind": "(item|node|menu|context menu)"' <<<"$output" | wc -l)
lines=$(grep -cE "$item_line" <<<"$default")
[ "$items" = "$lines" ] || fail "inspect --json: $items items for $lines lines of items"

inspect "$@" "$host" inspect --members "$app"
[ "$status" = 0 ] || fail "inspect --members: exit status $status, expected 0 ($errors)"
[ "$(grep -vE '^ *members  ' <<<"$output")" = "$default" ] || fail "inspect --members changes more than members lines"
awk '
    /^ *(item [0-9]+|node|menu|context menu)  "/ { next }
    /^ *members  [A-Za-z]/ { pending = 0; next }
    pending { printf "no members below: %s\n", last; bad = 1 }
    { pending = index($0, "  App.Find(\"") > 0; last = $0 }
    END { if (pending) { printf "no members below: %s\n", last; bad = 1 }; exit bad }' <<<"$output" ||
    fail "inspect --members: a control without its members"

inspect "$@" "$host" inspect "$app.missing"
[ "$status" = 3 ] || fail "inspect of a missing application: exit status $status, expected 3"
inspect "$@" "$host" inspect --colour "$app"
[ "$status" = 64 ] || fail "inspect --colour: exit status $status, expected 64"

if [ $failed -ne 0 ]; then
    echo "--- inspect $app"
    echo "$default"
    exit 1
fi
echo "$(basename "$expected_file"): ${#expected[@]} lines of the tree as expected, rectangles nested"
