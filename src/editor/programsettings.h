#pragma once

#include "settings/profile.h"

#include <QObject>
#include <QString>

class TForm1;

// The main window's settings object on programFolder() + "quillet.ini": opened
// when the window is created, read when it is first shown, written at exit.
class ProgramSettings : public QObject {
    Q_OBJECT
public:
    explicit ProgramSettings(TForm1& form);
    // The window's settings object, nullptr once it has been freed.
    static ProgramSettings* of(const TForm1& form);

    settings::Profile& profile() { return m_profile; }

    // The window's position. Read when the window is created: on X11 a window
    // placed only once it is being shown is placed by its inner edge, so it
    // would open a title bar's height higher at every start.
    void readPosition();
    // The three dialogs' start folders, the rename template and its preview.
    void readAtStartup();
    // Window position, the folders of the files the dialogs chose in this run,
    // the rename template. A value that cannot be written raises
    // settings::WriteError and leaves the later ones unwritten.
    void writeAtExit();

private:
    void readTemplate();
    QString readPath(const char* key, const QString& defaultFolder) const;
    void writePath(const char* key, const QString& lastFile);
    void writeTemplate();

    TForm1& m_form;
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
