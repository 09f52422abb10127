#!/usr/bin/env bash
# check-picture.sh APP SCRIPT TEXT HOST EMULATOR...
# Draws APP as "inspect --picture" shows it and as "run --picture" leaves it after SCRIPT, and checks each
# picture with the tools a person would use:
#   - well-formed XML (xmllint) whose root is the "svg" element of the SVG namespace;
#   - a real renderer (rsvg-convert) turns it into a PNG of the size of the window that inspect reports;
#   - the PNG's pixels (pngtopnm) are not blank: at least 4 colours;
#   - the run's picture shows TEXT (something only SCRIPT puts on screen).
set -u
app=$1 script=$2 text=$3 host=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
for tool in xmllint rsvg-convert pngtopnm; do
    command -v "$tool" >/dev/null || { echo "check-picture: $tool is missing (tools/setup installs it)" >&2; exit 1; }
done

tree=$("$@" "$host" inspect --picture inspect.svg "$app" 2>"$work/err")
[ $? = 0 ] || fail "inspect --picture: $(tr -d '\r' <"$work/err")"
# The first window's size: its line, two down from the process.
read -r width height < <(sed -n 2p <<<"${tree//$'\r'/}" | sed -E 's/.*\((-?[0-9]+), (-?[0-9]+), ([0-9]+), ([0-9]+)\)$/\3 \4/')
"$@" "$host" run --picture run.svg "$app" "$script" >/dev/null 2>"$work/err" ||
    fail "run --picture: $(tr -d '\r' <"$work/err")"
grep -q ">$text</text>" run.svg || fail "run.svg does not show '$text'"

for picture in inspect run; do
    xmllint --noout "$picture.svg" || { fail "$picture.svg is not well-formed XML"; continue; }
    root="$(xmllint --xpath 'concat(namespace-uri(/*), " ", local-name(/*))' "$picture.svg")"
    [ "$root" = "http://www.w3.org/2000/svg svg" ] || fail "$picture.svg: the root is '$root'"
    rsvg-convert -o "$picture.png" "$picture.svg" || { fail "rsvg-convert cannot render $picture.svg"; continue; }
    pngtopnm "$picture.png" >"$picture.ppm" 2>/dev/null || { fail "$picture.png is no PNG"; continue; }
    # A binary PPM: "P6", width, height, 255, then three bytes a pixel.
    read -r magic w h max < <(head -c 64 "$picture.ppm" | tr -s ' \n' '  ' | cut -d' ' -f1-4)
    [ "$magic $max" = "P6 255" ] || { fail "$picture.ppm: header '$magic $w $h $max'"; continue; }
    [ "$w $h" = "$width $height" ] || fail "$picture.png is $w x $h, the window $width x $height"
    colours=$(tail -c $((w * h * 3)) "$picture.ppm" | od -An -v -tx1 -w3 | sort -u | wc -l)
    [ "$colours" -ge 4 ] || fail "$picture.png has $colours colours: blank"
    echo "$picture.svg: rendered at $w x $h, $colours colours"
done
exit $failed
