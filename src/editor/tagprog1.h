#pragma once

#include "dialogrequest.h"
#include "id3v1/id3.h"
#include "tagengine/zurur24.h"

#include <QMainWindow>
#include <QPersistentModelIndex>

class QButtonGroup;
class QLabel;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class AboutPage;
class EditorPage;
class RenamerPage;
class SelectionPage;
class TForm2;
class TForm3;
class UserDialogs;

// The main window: the selection page, the tag editor, the renamer and the
// About page, switched by the left-hand tool bars. It owns the one tag
// component and the one ID3v1.1 component of the run; every page works on them.
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

    // The components of the run.
    ID3v24 ID3v241;
    Id3v1 Id3v11;
    QString CurrentFilePath; // folder and name of the file being edited
    QString TempFolder;      // where pictures read from tags are stored
    DialogRequest request;

    // The two dialogs, created after the window (see the program start).
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;

    UserDialogs& dialogs() const { return m_dialogs; }
    SelectionPage* selectionPage() const { return m_selection; }
    EditorPage* editorPage() const { return m_editor; }
    RenamerPage* renamerPage() const { return m_renamer; }

    // The current list item: the row any list view of the window last reported
    // as selected or deselected.
    void listItemReported(QTreeWidget* view, int row);
    // Its 1-based position within view, 0 when it is not a row of view.
    int currentListItemPosition(const QTreeWidget* view) const;
    // Makes the first row of the selection list the current list item (none when empty).
    void firstRowBecomesCurrent();
    // Lets every list view report its selection changes.
    void reportSelections(QTreeWidget* view);

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

    // Reads the selected file's two tags into the editor.
    void Readtags();
    // Lets pending window events run during a long loop.
    void refreshform();

    // Error report and shell, shared by the pages.
    void reportError(const QString& text);
    void LaunchFile(const QString& file, const QString& parameters, const QString& folder,
                    int showMode);

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
    void Image1Click();       // About

public:
    // Start-up and exit around the settings file.
    void FormCreate();
    void FormShow();
    void FormDestroy();

private:
    QWidget* buildLeftColumn();
    QToolButton* addToolButton(QWidget* bar, const QString& name, const QString& hint,
                               const QString& icon, bool grouped, QButtonGroup* group);
    bool selectedRowPath(QString& path) const;

    UserDialogs& m_dialogs;
    QTabWidget* m_pageControl1 = nullptr;
    QStackedWidget* m_pageControl2 = nullptr;
    QButtonGroup* m_fileButtons = nullptr;
    QButtonGroup* m_editorButtons = nullptr;
    SelectionPage* m_selection = nullptr;
    EditorPage* m_editor = nullptr;
    RenamerPage* m_renamer = nullptr;
    AboutPage* m_about = nullptr;
    QPersistentModelIndex m_currentListItem;
    bool m_programTabChange = false;
    bool m_shown = false;
    bool m_destroyed = false;
};
