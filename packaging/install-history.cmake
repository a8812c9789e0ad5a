# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# The record of every `cmake --install` of a build, so that the uninstall
# target (uninstall.cmake) takes out exactly what an install put in: its files
# and the folders it had to make, and nothing that was there before it. The
# install script includes this file and calls quillet_install_begin() before
# the first file and quillet_install_end() after the last, with
# QUILLET_INSTALL_HISTORY naming the build's folder of records.
#
# A record is a text file of lines "prefix PATH", "folder PATH" and
# "file PATH". NNNN.install is the newest record of its prefix; it becomes
# NNNN.uninstalled once taken out, or NNNN.replaced when a later install into
# the same prefix takes its files and folders over.

cmake_policy(VERSION 3.25)

# CPack's installs into its staging tree are no installs of the user's.
macro(quillet_install_staged out)
    set(${out} FALSE)
    if("$ENV{DESTDIR}" MATCHES "/_CPack_Packages/")
        set(${out} TRUE)
    endif()
endmacro()

# Where the install puts its files: DESTDIR and the prefix, made absolute.
function(quillet_install_root out)
    get_filename_component(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
    set(${out} "${root}" PARENT_SCOPE)
endfunction()

# Notes each folder that the install rules put files into and that is missing
# now, with every missing folder above it: those are the folders this install
# makes. The rules are read from the build's install scripts.
function(quillet_install_begin)
    quillet_install_staged(staged)
    if(staged)
        return()
    endif()
    get_filename_component(build "${QUILLET_INSTALL_HISTORY}" DIRECTORY)
    file(GLOB_RECURSE scripts "${build}/cmake_install.cmake")
    set(missing)
    foreach(script IN LISTS scripts)
        file(STRINGS "${script}" rules REGEX "DESTINATION \"")
        foreach(rule IN LISTS rules)
            if(NOT rule MATCHES "DESTINATION \"([^\"]*)\"")
                continue()
            endif()
            string(CONFIGURE "${CMAKE_MATCH_1}" folder)
            get_filename_component(folder "$ENV{DESTDIR}${folder}" ABSOLUTE)
            while(NOT IS_DIRECTORY "${folder}" AND NOT folder IN_LIST missing)
                list(APPEND missing "${folder}")
                get_filename_component(folder "${folder}" DIRECTORY)
            endwhile()
        endforeach()
    endforeach()
    set(QUILLET_INSTALL_MISSING "${missing}" PARENT_SCOPE)
endfunction()

# Writes the record of the install that has just ended. Earlier records of the
# same prefix not yet uninstalled are folded into it, so that one uninstall
# takes out what every install there put in.
function(quillet_install_end)
    quillet_install_staged(staged)
    if(staged)
        return()
    endif()
    quillet_install_root(root)
    set(files)
    foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
        # The manifest names files as if DESTDIR were empty.
        get_filename_component(file "$ENV{DESTDIR}${file}" ABSOLUTE)
        list(APPEND files "${file}")
    endforeach()
    set(folders)
    foreach(folder IN LISTS QUILLET_INSTALL_MISSING)
        if(IS_DIRECTORY "${folder}")
            list(APPEND folders "${folder}")
        endif()
    endforeach()

    file(MAKE_DIRECTORY "${QUILLET_INSTALL_HISTORY}")
    file(GLOB records "${QUILLET_INSTALL_HISTORY}/*.*")
    set(last 0)
    foreach(record IN LISTS records)
        get_filename_component(name "${record}" NAME_WE)
        get_filename_component(kind "${record}" LAST_EXT)
        if(name MATCHES "^0*([0-9]+)$" AND CMAKE_MATCH_1 GREATER last)
            set(last ${CMAKE_MATCH_1})
        endif()
        if(kind STREQUAL ".install")
            file(STRINGS "${record}" earlier REGEX "^prefix ")
            if(earlier STREQUAL "prefix ${root}")
                file(STRINGS "${record}" lines)
                foreach(line IN LISTS lines)
                    if(line MATCHES "^file (.*)")
                        list(APPEND files "${CMAKE_MATCH_1}")
                    elseif(line MATCHES "^folder (.*)")
                        list(APPEND folders "${CMAKE_MATCH_1}")
                    endif()
                endforeach()
                file(RENAME "${record}" "${QUILLET_INSTALL_HISTORY}/${name}.replaced")
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES files)
    list(REMOVE_DUPLICATES folders)

    math(EXPR number "${last} + 1")
    string(LENGTH "${number}" digits)
    while(digits LESS 4)
        string(PREPEND number "0")
        math(EXPR digits "${digits} + 1")
    endwhile()
    set(text "prefix ${root}\n")
    foreach(folder IN LISTS folders)
        string(APPEND text "folder ${folder}\n")
    endforeach()
    foreach(file IN LISTS files)
        string(APPEND text "file ${file}\n")
    endforeach()
    set(record "${QUILLET_INSTALL_HISTORY}/${number}.install")
    file(WRITE "${record}" "${text}")
    message(STATUS "Recorded for the uninstall target: ${record}")
endfunction()
