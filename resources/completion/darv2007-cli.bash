# Bash completion of darv2007-cli: its commands, their options, drawing files, download archives and the
# projects of the data folder.

# The data folder: --data on the command line, else Install_Location of the settings store.
_darv2007_cli_data_folder()
{
    local i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == --data && $((i + 1)) -lt $COMP_CWORD ]]; then
            printf '%s\n' "${COMP_WORDS[i + 1]}"
            return
        elif [[ $word == --data=* ]]; then
            printf '%s\n' "${word#--data=}"
            return
        fi
    done
    local config="${XDG_CONFIG_HOME:-$HOME/.config}/OVT.conf" folder
    folder=$(sed -n '/^\[DARV2007\]/,/^\[/s/^Install_Location=//p' "$config" 2>/dev/null | head -n 1)
    folder=${folder%\"}
    printf '%s\n' "${folder#\"}"
}

# The project names of the data folder's project list ("NAME" per line, CR LF ended) that start with $1.
_darv2007_cli_projects()
{
    local list name
    list="$(_darv2007_cli_data_folder)/projects/projects.fil"
    [[ -r $list ]] || return
    while IFS= read -r name || [[ -n $name ]]; do
        name=${name%$'\r'}
        name=${name#\"}
        name=${name%\"}
        [[ -n $name && $name == "$1"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
    done <"$list"
}

_darv2007_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]} command=${COMP_WORDS[1]}
    COMPREPLY=()

    # The commands as the program's own help lists them, so that new commands complete at once.
    if ((COMP_CWORD == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
        mapfile -t COMPREPLY < <(compgen -W "$commands help --help --version" -- "$cur")
        return
    fi
    if [[ $command == help ]]; then
        ((COMP_CWORD == 2)) &&
            mapfile -t COMPREPLY < <(compgen -W "$("$program" --help 2>/dev/null |
                sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')" -- "$cur")
        return
    fi

    case $prev in
    --data)
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    --checks)
        local done=${cur%"${cur##*,}"}
        mapfile -t COMPREPLY < <(compgen -P "$done" -W "time handles age" -- "${cur##*,}")
        compopt -o nospace 2>/dev/null
        return
        ;;
    --project)
        _darv2007_cli_projects "$cur"
        return
        ;;
    --entity | --percent | --age)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$("$program" "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    if [[ $command == dwginfo ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[dD][wWxX][gGfF]' -- "$cur")
        return
    fi
    if [[ $command == import ]]; then
        compopt -o filenames 2>/dev/null
        local pattern
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"
            for pattern in '*.[zZ][iI][pP]' '*.7[zZ]' '*.[tT][aA][rR]' '*.[tT][aA][rR].[gGxX][zZ]' '*.[tT][gGxX][zZ]'; do
                compgen -f -X "!$pattern" -- "$cur"
            done)
        return
    fi
    _darv2007_cli_projects "$cur"
}

complete -F _darv2007_cli darv2007-cli
