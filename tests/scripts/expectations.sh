# Sourced by the checkers: expected lines in a text, in order. The caller defines fail.

# A line in two forms: without the context of a log entry ("  (..., 0.412 s, ...)"), and with that context
# but without its time.
context_re='^(.*)  \((.*)[0-9]+\.[0-9]{3} s(.*)\)$'
plain= full=
forms() {
    plain=$1 full=$1
    [[ $1 =~ $context_re ]] || return 0
    plain=${BASH_REMATCH[1]}
    local inner="${BASH_REMATCH[2]}${BASH_REMATCH[3]}"
    inner=${inner//, , /, }
    inner=${inner#, }
    inner=${inner%, }
    full=$plain
    [ -z "$inner" ] || full="$plain  ($inner)"
}

# Whether a line matches an expectation: "=TEXT" the whole line (in either form), "^TEXT" its start.
matches() {
    forms "$1"
    case $2 in
    =*) [ "$plain" = "${2#=}" ] || [ "$full" = "${2#=}" ] ;;
    ^*) [ "${plain:0:${#2}-1}" = "${2#^}" ] ;;
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
