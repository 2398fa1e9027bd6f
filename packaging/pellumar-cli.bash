# bash completion for pellumar-cli

_pellumar_cli() {
    local cur prev words cword
    _init_completion || return

    case $prev in
        --settings)
            _filedir ini
            return
            ;;
        -j | --jobs)
            COMPREPLY=($(compgen -W "{1..$(nproc 2>/dev/null || echo 4)}" -- "$cur"))
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--local-chars --no-local-chars --replace-strings
            --no-replace-strings --remove-codes --delete-spaces --delete-blank
            --fix-srt-blank --all --settings --jobs --quiet --staged --help
            --version' -- "$cur"))
        return
    fi

    _filedir '@(sub|srt|txt|SUB|SRT|TXT)'
} &&
    complete -F _pellumar_cli pellumar-cli
