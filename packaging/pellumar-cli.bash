# bash completion for pellumar-cli

_pellumar_cli() {
    local cur prev words cword
    _init_completion || return

    case $prev in
        --settings)
            _filedir ini
            return
            ;;
        --codepage)
            COMPREPLY=($(compgen -W "auto auto:windows-1250,ISO-8859-2,windows-1252
                auto:windows-1251,KOI8-R windows-1250 ISO-8859-2" -- "$cur"))
            return
            ;;
        --output-codepage)
            COMPREPLY=($(compgen -W "same UTF-8 UTF-8-BOM UTF-16 windows-1250 ISO-8859-2
                windows-1252" -- "$cur"))
            return
            ;;
        --suffix)
            return
            ;;
        --color)
            COMPREPLY=($(compgen -W "auto always never" -- "$cur"))
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
            --fix-srt-blank --all --settings --jobs --quiet --verbose --codepage --output-codepage
            --suffix --staged --recursive --diff --color --help
            --version' -- "$cur"))
        return
    fi

    _filedir '@(sub|srt|txt|SUB|SRT|TXT)'
} &&
    complete -F _pellumar_cli pellumar-cli
