// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "session/session.h"

#include <QMainWindow>
#include <memory>

class AboutPage;
class EditorPage;
class ProgramSettings;
class QButtonGroup;
class QShortcut;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class RenamerPage;
class SelectionPage;
class TForm2;
class TForm3;
class UndoRun;
class UserDialogs;

// The main window: the selection page, the tag editor, the renamer and the
// About page, switched by the left-hand tool bars. It owns the session (the
// one tag component and the one ID3v1.1 component of the run) that its pages
// and the two dialogs work on, and it does the navigation they ask for.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    enum Page {
        SelectionPageIndex = 0,
        EditorPageIndex = 1,
        RenamerPageIndex = 2,
        AboutPageIndex = 3
    };
    enum Tab { Mp3FileTab = 0, ZuRurTab = 1 };

    explicit TForm1(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    Session& session() { return m_session; }

    // The two dialogs, created after the window (see the program start): the
    // pages show them, and their stored entries are shown in the lists.
    void setDialogs(TForm2* form2, TForm3* form3);
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;

    SelectionPage* selectionPage() const { return m_selection; }
    EditorPage* editorPage() const { return m_editor; }
    RenamerPage* renamerPage() const { return m_renamer; }

    // Reads the selected file's two tags into the editor.
    void Readtags();
    void LaunchFile(const QString& file, const QString& parameters, const QString& folder,
                    int showMode);

    // Start-up and exit around the settings file.
    void FormCreate();
    void FormShow();
    void FormDestroy();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void PageControl1Change(int index);
    void ToolButton13Click(); // File Browser
    void ToolButton8Click();  // Turbo Renamer
    void ToolButton9Click();  // Play File
    void ToolButton10Click(); // Kill Tag
    void ToolButton11Click(); // Delete File
    void UndoButtonClick();   // Undo: the newest write, kill or rename run
    void Image1Click();       // About

private:
    QWidget* buildLeftColumn();
    QToolButton* addToolButton(QWidget* bar, const QString& name, const QString& hint,
                               const QString& icon, bool grouped, QButtonGroup* group);
    bool selectedRowPath(QString& path) const;
    // The same, saying "select a file" when no row is selected.
    bool selectedRowPathOrSay(QString& path);

    // Navigation done by the program (not a tab change by the user).
    void showPage(Page page);
    void selectTab(Tab tab);
    void pressFileBrowser();
    // The steps of a change to the "Mp3 File" tab: page 0, "File Browser"
    // pressed, the file view read again, the first selection row current.
    void mp3FileTabSteps();
    // Switches to tab "Mp3 File" and runs its steps (after writing or cancelling).
    void backToMp3File();
    // After a loop over the selection list: the file view read again, tab
    // "Mp3 File", page 0, "File Browser" pressed (the current list item stays).
    void backAfterLoop();
    // A run over the selection list began or ended.
    void runChanged(bool running);
    // Ctrl+Z: on the "Mp3 File" tab, and not during a run.
    void undoShortcutState();
    // Closing with edits not written asks whether to write them, let them go
    // or stay: true when the window may close.
    bool unwrittenEditsSettled();

    Session m_session;
    std::unique_ptr<ProgramSettings> m_settings;
    QTabWidget* m_pageControl1 = nullptr;
    QStackedWidget* m_pageControl2 = nullptr;
    QToolButton* m_fileBrowserButton = nullptr;
    QToolButton* m_firstEditorButton = nullptr;
    QShortcut* m_stopShortcut = nullptr;
    QShortcut* m_undoShortcut = nullptr;
    UndoRun* m_undo = nullptr;
    SelectionPage* m_selection = nullptr;
    EditorPage* m_editor = nullptr;
    RenamerPage* m_renamer = nullptr;
    AboutPage* m_about = nullptr;
    bool m_programTabChange = false;
    bool m_shown = false;
    bool m_destroyed = false;
    bool m_closeAfterRun = false; // the window was closed during a run
};
