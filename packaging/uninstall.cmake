# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# The uninstall target: takes out what the newest install of this build not
# yet taken out put in (install-history.cmake keeps the records), then each
# folder that install made, deepest first, when it is empty. A folder that
# holds anything else stays, and so does every file the install did not put
# there.
#   cmake -D QUILLET_INSTALL_HISTORY=BUILD/install-history -P uninstall.cmake
cmake_policy(VERSION 3.25)
file(GLOB records "${QUILLET_INSTALL_HISTORY}/*.install")
if(NOT records)
    message(FATAL_ERROR "No install of this build to take out: "
                        "${QUILLET_INSTALL_HISTORY} holds no record of one.")
endif()
list(SORT records)
list(GET records -1 record)

file(STRINGS "${record}" lines)
set(prefix)
set(files)
set(folders)
foreach(line IN LISTS lines)
    if(line MATCHES "^prefix (.*)")
        set(prefix "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^file (.*)")
        list(APPEND files "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^folder (.*)")
        list(APPEND folders "${CMAKE_MATCH_1}")
    endif()
endforeach()
message(STATUS "Uninstalling Quillet from ${prefix} (${record})")

foreach(file IN LISTS files)
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
        message(STATUS "Removing: ${file}")
        file(REMOVE "${file}")
        if(EXISTS "${file}" OR IS_SYMLINK "${file}")
            message(FATAL_ERROR "Could not remove ${file}")
        endif()
    else()
        message(STATUS "Already gone: ${file}")
    endif()
endforeach()

# A folder sorts before everything inside it: reversed, the deepest come first.
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY "${folder}")
        continue()
    endif()
    file(GLOB inside LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
    if(inside)
        message(STATUS "Keeping the folder ${folder}: it holds other files")
    else()
        message(STATUS "Removing the folder: ${folder}")
        file(REMOVE_RECURSE "${folder}")
    endif()
endforeach()

get_filename_component(name "${record}" NAME_WE)
file(RENAME "${record}" "${QUILLET_INSTALL_HISTORY}/${name}.uninstalled")
message(STATUS "Quillet is uninstalled from ${prefix}")
