// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>

// The folder the program keeps its settings file, "Temp" and "Export Images"
// in, ending with "/": the executable's folder when it is writable and the
// program runs from where it was built; an installed program, or one whose
// folder is read-only, uses the per-user application data folder instead.
QString programFolder();
// Overrides the program folder (tests run the window in a folder of their own).
void setProgramFolder(const QString& folder);

// The rule behind programFolder, for a given executable folder and per-user
// data folder. A program counts as installed when its folder is the "bin" of
// a prefix that holds its desktop entry.
QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder);

// The user's home folder, ending with "/": where the file dialogs start when
// no folder of the user's is remembered.
QString homeFolder();

// Creates "Temp" and "Export Images" in the program folder when missing.
void createProgramFolders();
