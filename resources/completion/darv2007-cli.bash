# Bash completion of darv2007-cli: its commands, their options, drawing files, download archives, folders and
# the projects of the data folder. The commands, each command's options and what an option's value is (DIR, FILE,
# PROJECT, LIST...) come from the program's own help, so that the completion offers what the program takes.

# The words before the one being completed, with "--name" "=" "value" (COMP_WORDBREAKS splits at the
# equals sign) joined back into "--name=value".
_darv2007_cli_words()
{
    local i word
    _darv2007_cli_before=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == = && ${#_darv2007_cli_before[@]} -gt 0 && ${_darv2007_cli_before[-1]} == --* ]]; then
            _darv2007_cli_before[-1]+="="
            if ((i + 1 < COMP_CWORD)); then
                ((i++))
                _darv2007_cli_before[-1]+=${COMP_WORDS[i]}
            fi
        else
            _darv2007_cli_before+=("$word")
        fi
    done
}

# A folder as typed, with a leading ~ for the home folder.
_darv2007_cli_expand()
{
    local path=$1
    [[ $path == "~" || $path == "~/"* ]] && path=$HOME${path#"~"}
    printf '%s\n' "$path"
}

# The data folder: --data on the command line, else Install_Location of the settings store.
_darv2007_cli_data_folder()
{
    local i word
    for ((i = 0; i < ${#_darv2007_cli_before[@]}; i++)); do
        word=${_darv2007_cli_before[i]}
        if [[ $word == --data && $((i + 1)) -lt ${#_darv2007_cli_before[@]} ]]; then
            _darv2007_cli_expand "${_darv2007_cli_before[i + 1]}"
            return
        elif [[ $word == --data=* ]]; then
            _darv2007_cli_expand "${word#--data=}"
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

# Folders, and the drawings (DWG and DXF files, any letter case) among the files, that start with $1.
_darv2007_cli_drawings()
{
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$1"; compgen -f -X '!*.[dD][wWxX][gGfF]' -- "$1")
}

# What a value of the kind $1 (the word the help names it by) may be, for the text $2.
_darv2007_cli_value()
{
    case $1 in
    DIR)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$2")
        ;;
    FILE | FILE...)
        _darv2007_cli_drawings "$2"
        ;;
    PROJECT | NAME)
        _darv2007_cli_projects "$2"
        ;;
    ARCHIVE)
        compopt -o filenames 2>/dev/null
        local pattern
        mapfile -t COMPREPLY < <(
            compgen -d -- "$2"
            for pattern in '*.[zZ][iI][pP]' '*.7[zZ]' '*.[tT][aA][rR]' '*.[tT][aA][rR].[gGxX][zZ]' '*.[tT][gGxX][zZ]'; do
                compgen -f -X "!$pattern" -- "$2"
            done
        )
        ;;
    LIST)
        local done=${2%"${2##*,}"}
        mapfile -t COMPREPLY < <(compgen -P "$done" -W "time handles age" -- "${2##*,}")
        compopt -o nospace 2>/dev/null
        ;;
    esac
}

_darv2007_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local program=${COMP_WORDS[0]} command=${COMP_WORDS[1]}
    local -a _darv2007_cli_before
    COMPREPLY=()
    _darv2007_cli_words

    # The commands as the program's own help lists them, so that new commands complete at once.
    local commands
    if ((COMP_CWORD == 1)); then
        commands=$("$program" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
        mapfile -t COMPREPLY < <(compgen -W "$commands help --help --version" -- "$cur")
        return
    fi
    if [[ $command == help ]]; then
        if ((COMP_CWORD == 2)); then
            commands=$("$program" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
            mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        fi
        return
    fi

    # The command's help: "usage: darv2007-cli COMMAND OPERAND [--option VALUE]..." and one line per option
    # ("  --name VALUE  what it does", "  --switch  what it does", "  -h, --help  ...") under "Options:".
    local help operand
    help=$("$program" "$command" --help 2>/dev/null) || return
    operand=$(sed -n '1s/^usage: [^ ]* [^ ]* \([A-Z][A-Z.]*\).*/\1/p' <<<"$help")
    local -A takes=()
    local name value
    while read -r name value; do
        takes[$name]=$value
    done < <(sed -n '/^Options:/,/^$/s/^  \(-h, \)\{0,1\}\(--[a-z][a-z-]*\)\( [A-Z][A-Z.]*\)\{0,1\} .*/\2\3/p' <<<"$help")

    # The value of an option: "--name VALUE", "--name=VALUE" (also split at the equals sign by bash).
    local option=
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    if [[ $cur == = && $prev == --* ]]; then
        option=$prev
        cur=
    elif [[ $prev == = && $COMP_CWORD -ge 3 && ${COMP_WORDS[COMP_CWORD - 2]} == --* ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        # COMP_WORDBREAKS without '=': complete the value behind the option.
        option=${cur%%=*}
        local typed=${cur#*=}
        [[ -n ${takes[$option]:-} ]] || return
        _darv2007_cli_value "${takes[$option]}" "$typed"
        compopt +o filenames 2>/dev/null
        local i
        for i in "${!COMPREPLY[@]}"; do
            [[ ${takes[$option]} == DIR || ${takes[$option]} == FILE* ]] && printf -v "COMPREPLY[i]" '%q' "${COMPREPLY[i]}"
            COMPREPLY[i]=$option=${COMPREPLY[i]}
        done
        return
    elif [[ $prev == --* && -n ${takes[$prev]:-} ]]; then
        option=$prev
    fi
    if [[ -n $option ]]; then
        [[ -n ${takes[$option]:-} ]] && _darv2007_cli_value "${takes[$option]}" "$cur"
        return
    fi

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${!takes[*]}" -- "$cur")
        return
    fi

    # The operand: a repeated one (FILE...) always; a single one (PROJECT) only while none is given.
    local word count=0 skip=
    for word in "${_darv2007_cli_before[@]:1}"; do
        if [[ -n $skip ]]; then
            skip=
        elif [[ $word == --* ]]; then
            [[ $word != *=* && -n ${takes[$word]:-} ]] && skip=1
        else
            count=$((count + 1))
        fi
    done
    [[ $operand == *... || $count -eq 0 ]] && _darv2007_cli_value "$operand" "$cur"
}

complete -F _darv2007_cli darv2007-cli
