# bash completion for tallowpen-cli
# The commands and their options are read from `tallowpen-cli --help`, so
# the completion follows the program it comes with.

_tallowpen_cli()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --home|--text-file|--out)
            _filedir
            return
            ;;
    esac

    local help
    help=$("${words[0]}" --help 2>/dev/null) || return
    local commands
    commands=$(awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }' <<<"$help")

    local i command=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --home|--server) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--home --verbose --version --help' -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        local options
        options=$(awk -v c="$command" '/^Commands:/ { on = 1; next } on && $1 == c' <<<"$help" |
            grep -oE -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The first word after most commands names a table or a folder or file.
    if ((i + 1 == cword)) && [[ $(awk -v c="$command" '/^Commands:/ { on = 1; next } on && $1 == c' <<<"$help") == *TABLE* ]]; then
        COMPREPLY=($(compgen -W 'battling_arena battle_script field' -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _tallowpen_cli tallowpen-cli
