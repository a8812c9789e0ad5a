// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "app/commandline.h"

#include "release/licence.h"

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool literal = false;
    for (const QString& a : arguments) {
        if (literal || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            line.paths << a;
        } else if (a == QLatin1String("--")) {
            literal = true;
        } else if (a == QLatin1String("--help")) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (a == QLatin1String("--version")) {
            return {CommandLine::Action::Version, {}, {}};
        } else if (line.error.isEmpty()) {
            line.action = CommandLine::Action::Usage;
            line.error = QStringLiteral("unknown option %1").arg(a);
        }
    }
    return line;
}

QString helpText() {
    return QStringLiteral(
        "Usage: quillet [OPTION]... [FILE | FOLDER]...\n"
        "Quillet edits the ID3 tags of MP3 files: the ID3v2.2, 2.3 and 2.4 tag (written\n"
        "back as ID3v2.4) and the ID3v1.1 trailer, and renames files after their tags.\n"
        "\n"
        "The MP3 files named, and the MP3 files of each folder named (not of its\n"
        "subfolders), go into the selection list in the order given; the file view\n"
        "shows the folder of the first of them. Names that are not MP3 files or do not\n"
        "exist are skipped with one warning listing them. A second quillet opens a\n"
        "window of its own.\n"
        "\n" QUILLET_LICENCE_SUMMARY "\n"
        "Options:\n"
        "  --help         print this help and exit\n"
        "  --version      print the version and exit\n"
        "  --             the arguments after it are files or folders, whatever their\n"
        "                 names hold\n"
        "Qt's own options, such as -style NAME, work as in every Qt program.\n"
        "\n"
        "Files:\n"
        "  quillet.ini      the settings: the window's position, the folders of the last\n"
        "                   dialogs and the rename template\n"
        "  Temp/            the pictures read from tags, deleted when the window closes\n"
        "  Export Images/   where exported pictures go at first\n"
        "  journal/         the undo journal: the last writes, kills and renames\n"
        "They are in ~/.local/share/Quillet/, or beside a program run from its build\n"
        "folder.\n");
}

QString versionText() {
    return QStringLiteral("quillet (Quillet) " QUILLET_VERSION "\n" QUILLET_LICENCE_NOTICE);
}
