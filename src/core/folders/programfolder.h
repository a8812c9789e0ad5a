// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>

// Where the program keeps its things: the settings file, "Temp", "Export
// Images" and the undo journal. The window and quillet-tag apply the same
// rule, so both find the same journal.
namespace folders {

// The program folder for a given executable folder and per-user data folder,
// ending with "/": the executable's folder when it is writable and the
// program runs from where it was built; an installed program (its folder is
// the "bin" of a prefix that holds its desktop entry), or one whose folder is
// read-only, uses the per-user data folder instead.
std::string chooseProgramFolder(const std::string& executableFolder,
                                const std::string& userDataFolder);

// The folder of the running executable, without a trailing "/".
std::string executableFolder();

// The per-user data folder: $XDG_DATA_HOME/Quillet, or
// ~/.local/share/Quillet when that variable is unset or not absolute.
std::string userDataFolder();

// The rule applied to this process (the folder is not created here).
std::string programFolder();

// The journal's folder inside a program folder (ending with "/").
inline std::string journalFolder(const std::string& programFolder) {
    return programFolder + "journal/";
}

} // namespace folders
