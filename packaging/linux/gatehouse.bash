# bash completion for gatehouse: its commands, their options and the
# launcher's options, with file and folder names where they take one.
_gatehouse() {
    local cur prev command word i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    case $prev in
        --documents|--game-folder|--workshop)
            COMPREPLY=($(compgen -d -- "$cur"))
            return ;;
        --runner)
            COMPREPLY=($(compgen -c -- "$cur"))
            return ;;
        --timeout|--code)
            return ;;
        --save)
            COMPREPLY=($(compgen -f -X '!*.[sS][cC][hH]' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
    esac

    command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --documents|--game-folder|--workshop|--runner) ((i++)) ;;
            list|sync|play|inspect|sort|share|import|report|hold|release|changes|history|restore) command=$word; break ;;
        esac
    done

    local options="--documents --game-folder --workshop --runner --help --version"
    case $command in
        '')
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$options" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "list sync play inspect sort share import report hold release changes history restore" -- "$cur"))
            fi ;;
        list|changes) COMPREPLY=($(compgen -W "--json $options" -- "$cur")) ;;
        sync) COMPREPLY=($(compgen -W "--timeout $options" -- "$cur")) ;;
        play|share|report)
            local own="--last"
            [[ $command == play ]] && own="--last --code --with-requirements"
            [[ $command == report ]] && own="--last --markdown"
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$own $options" -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.[sS][cC][hH]' -- "$cur") $(compgen -d -- "$cur"))
            fi ;;
        sort)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$options" -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.[sS][cC][hH]' -- "$cur") $(compgen -d -- "$cur"))
            fi ;;
        import) COMPREPLY=($(compgen -W "--save $options" -- "$cur")) ;;
        inspect)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--json $options" -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.[mM][oO][dD]' -- "$cur") $(compgen -d -- "$cur"))
            fi ;;
        hold|release|history|restore)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$options" -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.[mM][oO][dD]' -- "$cur") $(compgen -d -- "$cur"))
            fi ;;
    esac
}
complete -F _gatehouse gatehouse
