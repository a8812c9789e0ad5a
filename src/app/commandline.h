// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the program: quillet [--help | --version]
// [--] [FILE | FOLDER]...
struct CommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    QStringList paths; // the files and folders to open, as given
    QString error;     // what was wrong, for Usage
};

// The arguments after the program's name. Qt's own options (-style, -platform
// and so on) are taken out by the application object; before it exists, only
// --help and --version are worth asking for.
CommandLine parseCommandLine(const QStringList& arguments);

QString helpText();
QString versionText();
