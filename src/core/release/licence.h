// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

// What quillet and quillet-tag say of their licence, as string literals so
// that they join the help and version texts where those are literals.
//
// --version prints the notice under the name and version, in the form that
// help2man makes the manual's COPYRIGHT section of.
#define QUILLET_LICENCE_NOTICE                                                                     \
    "Copyright (C) 2026 The Quillet developers\n"                                                  \
    "License GPL-2.0-or-later: GNU GPL version 2 or later "                                        \
    "<https://www.gnu.org/licenses/old-licenses/gpl-2.0.html>.\n"                                  \
    "This is free software: you are free to change and redistribute it.\n"                         \
    "There is NO WARRANTY, to the extent permitted by law.\n"

// --help says it in a paragraph of its description, which help2man keeps in
// the manual's DESCRIPTION (a heading of its own would land in the section
// before it).
#define QUILLET_LICENCE_SUMMARY                                                                    \
    "Quillet is free software under the GNU General Public License, version 2 or\n"                \
    "(at your option) any later version (GPL-2.0-or-later), with NO WARRANTY, to the\n"            \
    "extent permitted by law.\n"
