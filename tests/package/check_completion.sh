#!/usr/bin/env bash
# Checks the bash completion of resistance-tester-cli: it parses, and for each
# command line it offers the expected words. The instruments offered for
# --device come from a stand-in program that prints a "list" answer.
# Usage: check_completion.sh <completion file>
set -uo pipefail
completion="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

bash -n "$completion" || { echo "FAIL: the completion does not parse" >&2; exit 1; }
# shellcheck source=/dev/null
source "$completion"

# Splits a line as bash hands it to a completion function: at blanks, with a
# colon or an equals sign a word of its own; a trailing blank starts an empty word.
offered() {
    local line="$1" token
    local -a words=()
    read -ra tokens <<<"$line"
    for token in "${tokens[@]}"; do
        while [[ $token =~ ^([^:=]*)([:=])(.*)$ ]]; do
            [[ -n ${BASH_REMATCH[1]} ]] && words+=("${BASH_REMATCH[1]}")
            words+=("${BASH_REMATCH[2]}")
            token=${BASH_REMATCH[3]}
        done
        [[ -n $token ]] && words+=("$token")
    done
    [[ $line == *" " ]] && words+=("")
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMP_LINE="$line"
    COMP_POINT=${#line}
    COMPREPLY=()
    _resistance_tester_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ' -
}

expect() {
    local line="$1" wanted="$2" got
    got="$(offered "$line")"
    if [ "$got" != "$wanted" ]; then
        echo "FAIL: '$line' offers '$got', expected '$wanted'" >&2
        failures=$((failures + 1))
    fi
}

cli=resistance-tester-cli
# The program is not on PATH: --device offers nothing, and says nothing.
PATH="$work/empty:/usr/bin:/bin"
expect "$cli " "history import list read settings test"
expect "$cli re" "read"
expect "$cli read --format " "csv json text"
expect "$cli test --format c" "csv"
expect "$cli import --format " "csv json xlsx"
expect "$cli read --count 5 " "--device --format --interval"
expect "$cli read --count " ""
expect "$cli test " "--dc --format --length --timeout"
expect "$cli test --dc " "--format --timeout"
expect "$cli test --length --timeout 60 --" "--format"
expect "$cli settings " "get set"
expect "$cli settings set ma" "material="
expect "$cli settings set length-" "length-conductor-no= length-current="
expect "$cli settings set standard" "standard-unit= standard-value= standard="
expect "$cli settings set phase=" ""
expect "$cli settings set phase=A" ""
expect "$cli settings get " ""
expect "$cli history " "export list"
expect "$cli history export 3 " "--out"
expect "$cli history export " ""
expect "$cli import --out -" "-"
expect "$cli read --device " ""

# A stand-in program on PATH answers "list" with two instruments, one of them
# with a shell expansion in its name that must be offered as it is, not run.
mkdir -p "$work/bin"
cat >"$work/bin/$cli" <<EOF
#!/bin/sh
if [ "\$1 \$2" = "history list" ]; then
    printf '12\tdc\t2026-01-01T10:00:00\t2026-01-01T11:00:00\t7\n'
    printf '3\tstored\t2026-01-02T09:00:00\t2026-01-02T09:05:00\t9999\n'
    exit 0
fi
[ "\$1" = list ] || exit 64
printf 'usb:1-2.3\tusb\n'
printf '/run/\$(touch $work/expanded).sock\tsimulator\n'
EOF
chmod +x "$work/bin/$cli"
PATH="$work/bin:$PATH"
expect "$cli read --device " "/run/\$(touch $work/expanded).sock usb:1-2.3"
expect "$cli import --device usb" "usb:1-2.3"
# Bash replaces only what follows the colon, so that is what is offered.
expect "$cli read --device usb:" "1-2.3"
expect "$cli read --device usb:1-" "1-2.3"
expect "$cli read --device /r" "/run/\$(touch $work/expanded).sock"
# The sessions the store keeps, for history export.
expect "$cli history export " "12 3"
expect "$cli history export 1" "12"
expect "$cli history export 12 " "--out"
[ ! -e "$work/expanded" ] || { echo "FAIL: a listed path was run as a command" >&2; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || exit 1
echo "completion checked"
