# bash completion for quillet-tag                          -*- shell-script -*-
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
#
# The commands, options, property and list names come from the program's
# own --help, so the completion always offers what the installed program takes.

# The words of one section of the help ("Commands:", "Properties ..."): the
# first word of each line, or every word with "all".
_comp_quillet_tag_section()
{
    LC_ALL=C "$1" --help 2>/dev/null | awk -v want="$2" -v all="${3-}" '
        /^[^ ].*:$/ { inside = index($0, want) == 1; next }
        /^$/ { inside = 0 }
        inside && /^  [^ ]/ { if (all) print; else print $1 }'
}

# What set offers for each list of the help's "Lists" section: LIST= (empty
# it, or make it one entry), LIST+= (add), LIST-= (remove) and LIST[ (KEY).
_comp_quillet_tag_lists()
{
    local list
    for list in $(_comp_quillet_tag_section "$1" Lists); do
        printf '%s\n' "$list=" "$list+=" "$list-=" "$list["
    done
}

# The options on a command's usage line ("quillet-tag dump [--header-only] ...").
_comp_quillet_tag_options()
{
    LC_ALL=C "$1" --help 2>/dev/null |
        awk -v cmd="$2" '$2 == "quillet-tag" && $3 == cmd' |
        grep -o -- '--[a-z-]*'
    echo --
}

_quillet_tag()
{
    local cur prev words cword
    _init_completion -n = || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W '$(_comp_quillet_tag_section "$1" Commands:)
            --help --version' -- "$cur"))
        return
    fi

    local command=${words[1]} i files=0 assigned="" literal=""
    for ((i = 2; i < cword; i++)); do
        case ${words[i]} in
            --) literal=1 ;;
            --temp | --program-folder | --template) ((i++)) ;;
            -*) ;;
            *=*) [[ $literal ]] && ((files++)) || assigned=1 ;;
            *) ((files++)) ;;
        esac
    done

    if [[ $prev == --temp || $prev == --program-folder ]]; then
        _filedir -d
        return
    fi
    [[ $prev == --template ]] && return
    if [[ ! $literal && $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_comp_quillet_tag_options "$1" "$command")' -- "$cur"))
        return
    fi

    # set: the EDITs (PROPERTY=VALUE and the list edits) follow the files.
    local -a offered=()
    if [[ $command == set && ! $literal ]]; then
        if [[ $cur == *=* ]]; then
            # A picture file after Pictures=, Pictures+= and Pictures[KEY]=;
            # readline completes the part after the "=".
            case ${cur%%=*} in
                Pictures | Pictures+ | Pictures\[*\])
                    cur=${cur#*=}
                    _filedir
                    ;;
            esac
            return
        fi
        if ((files > 0)); then
            offered=($(compgen -W '$(_comp_quillet_tag_section "$1" Properties all)' \
                -S = -- "$cur") $(compgen -W '$(_comp_quillet_tag_lists "$1")' -- "$cur"))
            ((${#offered[@]})) && compopt -o nospace
        fi
        if [[ $assigned ]]; then
            COMPREPLY=("${offered[@]}")
            return
        fi
    fi
    _filedir mp3
    COMPREPLY+=("${offered[@]}")
} &&
    complete -F _quillet_tag quillet-tag

# ex: filetype=sh
