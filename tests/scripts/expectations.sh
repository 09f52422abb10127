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

# Whether a line matches an expectation: "=TEXT" the whole line (in either form; blanks at the end do not
# count, so that "=" matches an indented empty line of details), "^TEXT" its start.
matches() {
    forms "$1"
    local expected=${2#=}
    case $2 in
    =*)
        expected=${expected%"${expected##*[! ]}"}
        plain=${plain%"${plain##*[! ]}"}
        [ "$plain" = "$expected" ] || [ "$full" = "$expected" ]
        ;;
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

# The whole log in order: every line of a log entry (its "[kind] text" line and the indented lines of its
# text, details or remark below it) is the next expected line; the host's other lines ("-- ...") may come
# between unexpected, or be expected. A line of an entry that nobody expects fails, so does an expected line
# that does not come.
match_log() {
    local text=$1 what=$2
    shift 2
    local -a lines expected=("$@")
    mapfile -t lines <<<"$text"
    local i j=0 entry=0 line
    for ((i = 0; i < ${#lines[@]}; i++)); do
        line=${lines[$i]}
        case $line in
        "["*) entry=1 ;;
        " "*) ;;
        *) entry=0 ;;
        esac
        if [ $j -lt ${#expected[@]} ] && matches "$line" "${expected[$j]}"; then
            j=$((j + 1))
        elif [ $entry -eq 1 ]; then
            local next="the end of the log"
            [ $j -ge ${#expected[@]} ] || next=${expected[$j]:1}
            fail "$what, line $((i + 1)), unexpected: $line"$'\n'"    (expected: $next)"
            return
        fi
    done
    [ $j -ge ${#expected[@]} ] || fail "$what lacks (in this order): ${expected[$j]:1}"
}
