// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "renamer/renamer.h"
#include "settings/profile.h"

#include <QPoint>
#include <QString>

// The main window's settings object on programFolder() + "quillet.ini": opened
// when the window is created, read when it is first shown, written at exit.
// Every write goes to the file at once; one that fails raises
// settings::WriteError.
class ProgramSettings {
public:
    ProgramSettings();

    // The window's position; a saved one that no screen shows gives way to
    // the default.
    QPoint position() const;
    void writePosition(QPoint position);

    // The start folders of the three file dialogs.
    enum class Folder { ImageSave, OpenPicture, OpenText };
    QString folder(Folder which) const;
    // Keeps the folder of the file a dialog chose in this run; an empty name
    // (the dialog was not used) leaves the folder as it was.
    void writeFolderOf(Folder which, const QString& lastFile);

    // The renamer's template rows.
    renamer::Template renameTemplate() const;
    // Rows an earlier, longer template left in the file stay; the count hides them.
    void writeTemplate(const renamer::Template& rows);

private:
    settings::Profile m_profile;
};

// The folder part of a file name, up to and including its last "/"; empty for
// a name without one.
QString extractdialogpath(const QString& fileName);

// Deletes the pictures the tag reader extracted: the entries of folder that
// match "*.jpg", "*.jpeg", "*.bmp", "*.wmf", "*.emf" or "*.ico" (in any letter
// case). Other files stay; an entry that cannot be deleted (a folder named
// like a picture, for instance) is left and the clean-up goes on.
void cleanTempFolder(const QString& folder);
