#!/bin/bash
# varkel's bash completion: every command of varkel --help and nothing else, the options, COM names
# and devices after --port, --home after restore. Exit 77 (skipped) without bash-completion.
# Arguments: the completion file, the varkel program.
set -u
completion=$1
varkel=$2
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || { echo "bash-completion not installed"; exit 77; }
# shellcheck disable=SC1090
source "$framework"
# shellcheck disable=SC1090
source "$completion"
status=0
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _varkel varkel "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
    local what=$1 got=$2 want=$3
    if [ "$got" != "$want" ]; then
        echo "FAIL: $what"
        diff <(echo "$want") <(echo "$got")
        status=1
    fi
}

commands=$("$varkel" --help | awk '/^commands:/ {on = 1; next} /^ranges:/ {on = 0} on && /^  [a-z]/ {print $1}
    /^whole boards/ {whole = 1; next} whole && /^  [a-z]/ {print $1}' | sort)
[ "$(echo "$commands" | wc -l)" -ge 20 ] || { echo "FAIL: cannot read the commands of varkel --help"; exit 1; }
expect "commands" "$(complete_line varkel --port COM1 '')" "$commands"
expect "commands after --id" "$(complete_line varkel --id 1 get-)" "$(echo "$commands" | grep '^get-')"
expect "options" "$(complete_line varkel get-mode --)" "$(printf -- '--attempts\n--help\n--id\n--port\n--version')"
expect "restore options" "$(complete_line varkel restore --h)" "$(printf -- '--help\n--home')"
expect "COM names" "$(complete_line varkel --port COM3)" "$(printf 'COM3\nCOM30')"
expect "devices" "$(complete_line varkel --port /dev/tty | grep -c '^/dev/tty')" "$(compgen -G '/dev/tty*' | wc -l)"
[ $status = 0 ] && echo "varkel completion offers commands, options, COM names and devices"
exit $status
