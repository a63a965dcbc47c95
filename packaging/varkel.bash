# bash completion for varkel: commands, options, and --port with COM names and serial devices.
_varkel()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --port)
            local devices
            devices=$(compgen -G '/dev/tty*' ; compgen -G '/dev/serial/by-id/*')
            COMPREPLY=($(compgen -W "$(printf 'COM%s ' {1..30}) $devices" -- "$cur"))
            return
            ;;
        --id | --attempts)
            return
            ;;
    esac

    local commands="send-positions get-positions set-home get-home write-motion-row read-motion-row
        set-motion-length get-motion-length write-scenario-item read-scenario-item set-scenario-length
        get-scenario-length set-mode get-mode play-motion play-scenario write-assignment read-assignment
        write-trim read-trim backup restore verify"
    local i command=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --port | --id | --attempts) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done

    if [[ $cur == -* ]]; then
        local options="--port --id --attempts --help --version"
        [[ $command == restore ]] && options="$options --home"
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == backup || $command == restore || $command == verify ]]; then
        _filedir json
    fi
} &&
    complete -F _varkel varkel
