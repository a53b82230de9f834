#!/bin/bash
# pingalo-ctl's bash completion, sourced and asked as bash asks it.
#   completion.sh COMPLETION_SCRIPT PINGALO_CTL
. "$1" || exit 1
CTL=$(realpath "$2")
check() { # check EXPECTED WORD...: what the last of the words may become
    COMP_WORDS=("$CTL" "${@:2}") COMP_CWORD=$(($# - 1)) COMPREPLY=() && _pingalo_ctl
    [ "${COMPREPLY[*]}" = "$1" ] || { echo "FAIL: ${*:2} gave '${COMPREPLY[*]}'"; failed=1; }
}
cd "$(mktemp -d)" && touch week.ics weeds.txt && trap 'rm -r "$PWD"' EXIT || exit 1
check "export" ex
check "--json --password-stdin --help" list --
check "CUCKOO_LOOP" add -t 9:00 --sound CU
check "weeds.txt week.ics" import we
exit ${failed:-0}
