# Sourced by the checkers: expected lines in a text, in order. The caller defines fail.

# Whether a line matches an expectation: "=TEXT" the whole line, "^TEXT" its start.
matches() {
    case $2 in
    =*) [ "$1" = "${2#=}" ] ;;
    ^*) [ "${1:0:${#2}-1}" = "${2#^}" ] ;;
    esac
}

# Every expected line in order, each after the one before.
match_in_order() {
    local text=$1 what=$2
    shift 2
    local -a lines
    mapfile -t lines <<<"$text"
    local i=0 expected
    for expected in "$@"; do
        while [ $i -lt ${#lines[@]} ] && ! matches "${lines[$i]}" "$expected"; do i=$((i + 1)); done
        if [ $i -ge ${#lines[@]} ]; then
            fail "$what lacks (in this order): ${expected:1}"
            return
        fi
        i=$((i + 1))
    done
}
