// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

// What quillet and quillet-tag say of their licence. --version prints the
// notice under the name and version, in the shape help2man makes the manual's
// COPYRIGHT section of; --help ends with the licence as a section of its own.
namespace release {

inline constexpr const char* VersionNotice =
    "Copyright (C) 2026 The Quillet developers\n"
    "License GPL-2.0-or-later: GNU GPL version 2 or later\n"
    "<https://www.gnu.org/licenses/old-licenses/gpl-2.0.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

inline constexpr const char* HelpNotice =
    "\nLicense:\n"
    "Quillet is free software under the GNU General Public License, version 2 or\n"
    "(at your option) any later version: GPL-2.0-or-later. There is NO WARRANTY,\n"
    "to the extent permitted by law.\n";

} // namespace release
