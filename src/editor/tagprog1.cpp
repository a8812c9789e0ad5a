// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/tagprog1.h"

#include "browser/filebrowser.h"
#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/aboutpage.h"
#include "editor/editchanges.h"
#include "editor/editorpage.h"
#include "editor/entrylists.h"
#include "editor/fieldtable.h"
#include "editor/fmxutils.h"
#include "editor/picturepage.h"
#include "editor/programsettings.h"
#include "editor/renamerpage.h"
#include "editor/selectionpage.h"
#include "editor/undorun.h"
#include "folders/programfolder.h"
#include "io/file.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "services/nativepath.h"
#include "services/programfolder.h"
#include "services/tempfolder.h"
#include "services/userdialogs.h"
#include "tagfile/tagfile.h"
#include "widgets/chosen.h"
#include "widgets/reportview.h"
#include "widgets/toolicon.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString SelectFileMessage = QStringLiteral("Please select file from selection list");
} // namespace

TForm1::TForm1(UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_session(dialogs) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillet v1.2"));
    setFixedSize(678, 499);
    m_session.TempFolder = tempFolder();
    m_session.journal =
        std::make_unique<journal::Journal>(folders::journalFolder(nativePath(programFolder())));

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    QWidget* column = buildLeftColumn();
    layout->addWidget(column);

    m_pageControl2 = new QStackedWidget(central);
    m_pageControl2->setObjectName(QStringLiteral("PageControl2"));
    m_selection = new SelectionPage(m_session, m_pageControl2);
    m_editor = new EditorPage(m_session, m_pageControl2);
    m_renamer = new RenamerPage(m_session, m_pageControl2);
    m_about = new AboutPage(dialogs, m_pageControl2);
    m_pageControl2->addWidget(m_selection);
    m_pageControl2->addWidget(m_editor);
    m_pageControl2->addWidget(m_renamer);
    m_pageControl2->addWidget(m_about);
    layout->addWidget(m_pageControl2, 1);
    setCentralWidget(central);
    // The undo's progress, under the tool bars: shown whichever page is.
    m_undo = new UndoRun(m_session, column);
    static_cast<QVBoxLayout*>(column->layout())->insertWidget(1, m_undo);

    connect(m_pageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    connect(m_editor, &EditorPage::done, this, &TForm1::backToMp3File);
    connect(m_editor, &EditorPage::finished, this, &TForm1::backAfterLoop);
    connect(m_renamer, &RenamerPage::finished, this, &TForm1::backAfterLoop);
    connect(m_undo, &UndoRun::finished, this, &TForm1::backAfterLoop);
    connect(&m_session.run, &LoopRun::activeChanged, this, &TForm1::runChanged);
    // Ctrl+Z undoes on the "Mp3 File" tab; a text field keeps it for its own text.
    m_undoShortcut = new QShortcut(QKeySequence::Undo, this);
    connect(m_undoShortcut, &QShortcut::activated, this, &TForm1::UndoButtonClick);
    connect(m_pageControl1, &QTabWidget::currentChanged, this, [this] { undoShortcutState(); });
    // Escape stops a run after the file in hand; it means nothing otherwise.
    m_stopShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_stopShortcut->setEnabled(false);
    connect(m_stopShortcut, &QShortcut::activated, this, [this] { m_session.run.requestStop(); });
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
    // The pages show the session's selection list: they go before it does.
    delete takeCentralWidget();
}

void TForm1::setDialogs(TForm2* form2, TForm3* form3) {
    Form2 = form2;
    Form3 = form3;
    m_editor->lists()->setEntryDialog(form2);
    m_editor->pictures()->setImageDialog(form3);
    connect(form2, &TForm2::entryStored, m_editor->lists(), &EntryLists::rebuild);
    connect(form3, &TForm3::pictureStored, m_editor->pictures(), &PicturePage::readpicture);
}

QWidget* TForm1::buildLeftColumn() {
    constexpr int ColumnWidth = 138;
    auto* column = new QWidget(this);
    column->setFixedWidth(ColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_pageControl1 = new QTabWidget(column);
    m_pageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl1->setAccessibleName(tr("Tool bars"));
    m_pageControl1->tabBar()->setUsesScrollButtons(false);
    m_pageControl1->tabBar()->setExpanding(false);
    m_pageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));

    auto* fileBar = new QWidget;
    fileBar->setObjectName(QStringLiteral("ToolBar2"));
    fileBar->setAccessibleName(tr("Mp3 File tools"));
    new QVBoxLayout(fileBar);
    auto* fileButtons = new QButtonGroup(this);
    m_fileBrowserButton =
        addToolButton(fileBar, QStringLiteral("ToolButton13"), QStringLiteral("File Browser"),
                      QStringLiteral("browser"), true, fileButtons);
    auto* renamer =
        addToolButton(fileBar, QStringLiteral("ToolButton8"), QStringLiteral("Turbo Renamer"),
                      QStringLiteral("renamer"), true, fileButtons);
    auto* play = addToolButton(fileBar, QStringLiteral("ToolButton9"), QStringLiteral("Play File"),
                               QStringLiteral("play"), false, nullptr);
    auto* kill = addToolButton(fileBar, QStringLiteral("ToolButton10"), QStringLiteral("Kill Tag"),
                               QStringLiteral("killtag"), false, nullptr);
    auto* remove =
        addToolButton(fileBar, QStringLiteral("ToolButton11"), QStringLiteral("Delete File"),
                      QStringLiteral("delete"), false, nullptr);
    auto* undo = addToolButton(fileBar, QStringLiteral("UndoButton"),
                               QStringLiteral("Undo the last write or rename"),
                               QStringLiteral("undo"), false, nullptr);
    static_cast<QVBoxLayout*>(fileBar->layout())->addStretch();
    whenChosen(m_fileBrowserButton, [this] { ToolButton13Click(); });
    whenChosen(renamer, [this] { ToolButton8Click(); });
    // Assistive technology presses a tool button by clicking it and waits for
    // the click to return: the boxes these open must come after that.
    connect(play, &QToolButton::clicked, this, &TForm1::ToolButton9Click, Qt::QueuedConnection);
    connect(kill, &QToolButton::clicked, this, &TForm1::ToolButton10Click, Qt::QueuedConnection);
    connect(remove, &QToolButton::clicked, this, &TForm1::ToolButton11Click, Qt::QueuedConnection);
    connect(undo, &QToolButton::clicked, this, &TForm1::UndoButtonClick, Qt::QueuedConnection);

    auto* editorBar = new QWidget;
    editorBar->setObjectName(QStringLiteral("ToolBar1"));
    editorBar->setAccessibleName(tr("Editor pages"));
    new QVBoxLayout(editorBar);
    auto* editorButtons = new QButtonGroup(this);
    for (int index : fields::ToolBarOrder) {
        const fields::SubPage& page = fields::SubPages[size_t(index)];
        QToolButton* button = addToolButton(
            editorBar, QString::fromLatin1(page.button.data(), qsizetype(page.button.size())),
            QString::fromLatin1(page.hint.data(), qsizetype(page.hint.size())),
            QString::fromLatin1(page.icon.data(), qsizetype(page.icon.size())), true,
            editorButtons);
        if (index == 0) m_firstEditorButton = button;
        // The sub-page buttons switch only the editor's pages.
        whenChosen(button, [this, index] { m_editor->showSubPage(index); });
    }
    static_cast<QVBoxLayout*>(editorBar->layout())->addStretch();

    m_pageControl1->addTab(fileBar, QStringLiteral("Mp3 File"));
    m_pageControl1->addTab(editorBar, QStringLiteral("ZuRur v. 2.4"));
    // The captions whole, whatever the platform theme's font and eliding:
    // the column widens for them where it must.
    QTabBar* captions = m_pageControl1->tabBar();
    captions->setElideMode(Qt::ElideNone);
    captions->ensurePolished();
    const int frame = m_pageControl1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    column->setFixedWidth(std::max(ColumnWidth, captions->sizeHint().width() + 2 * frame));
    layout->addWidget(m_pageControl1, 1);

    auto* about = new QToolButton(column);
    about->setObjectName(QStringLiteral("Image1"));
    about->setToolTip(QStringLiteral("About"));
    about->setAccessibleName(QStringLiteral("About"));
    about->setIcon(toolIcon(QStringLiteral(":/icons/about.svg"), palette()));
    about->setIconSize(QSize(73, 73));
    about->setAutoRaise(true);
    connect(about, &QToolButton::clicked, this, &TForm1::Image1Click);
    auto* aboutLabel = new QLabel(QStringLiteral("About"), column);
    aboutLabel->setObjectName(QStringLiteral("Label1"));
    aboutLabel->setAlignment(Qt::AlignHCenter);
    layout->addWidget(about, 0, Qt::AlignHCenter);
    layout->addWidget(aboutLabel);
    return column;
}

QToolButton* TForm1::addToolButton(QWidget* bar, const QString& name, const QString& hint,
                                   const QString& icon, bool grouped, QButtonGroup* group) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    // A tooltip alone reaches assistive technology only as a description.
    button->setAccessibleName(hint);
    button->setIcon(toolIcon(QStringLiteral(":/icons/%1.svg").arg(icon), palette()));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setCheckable(grouped);
    if (grouped) group->addButton(button);
    bar->layout()->setContentsMargins(2, 2, 2, 2);
    bar->layout()->setSpacing(1);
    bar->layout()->addWidget(button);
    bar->layout()->setAlignment(button, Qt::AlignHCenter);
    return button;
}

// --- Navigation ----------------------------------------------------------------

void TForm1::showPage(Page page) {
    m_pageControl2->setCurrentIndex(page);
}

void TForm1::selectTab(Tab tab) {
    m_programTabChange = true;
    m_pageControl1->setCurrentIndex(tab);
    m_programTabChange = false;
}

void TForm1::pressFileBrowser() {
    m_fileBrowserButton->setChecked(true);
}

void TForm1::mp3FileTabSteps() {
    showPage(SelectionPageIndex);
    pressFileBrowser();
    m_selection->browser()->refresh();
    m_session.firstRowBecomesCurrent(&m_session.selection);
}

void TForm1::backToMp3File() {
    selectTab(Mp3FileTab);
    mp3FileTabSteps();
}

void TForm1::backAfterLoop() {
    m_selection->browser()->refresh();
    selectTab(Mp3FileTab);
    showPage(SelectionPageIndex);
    pressFileBrowser();
    // The run's own counter is on a page no longer shown.
    const QString reach = m_session.run.takeStoppedShort();
    if (!reach.isEmpty() && !m_closeAfterRun)
        m_session.dialogs().message(this, QStringLiteral("Stopped after %1 files.").arg(reach),
                                    QStringLiteral("Information"), UserDialogs::Icon::Information);
}

void TForm1::PageControl1Change(int index) {
    if (m_programTabChange) return;
    if (index == Mp3FileTab) {
        guarded(m_session.dialogs(), this, [&] { mp3FileTabSteps(); });
        return;
    }
    // A refusal or a failed read switches back at once and tells why after
    // the change has returned: assistive technology waits for the change.
    if (m_session.selection.selectedRow() < 0) {
        selectTab(Mp3FileTab);
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_session.dialogs().message(this, SelectFileMessage, QStringLiteral("Error"),
                                            UserDialogs::Icon::Warning);
            },
            Qt::QueuedConnection);
        return;
    }
    try {
        Readtags();
    } catch (const std::exception& e) {
        // The editor is not shown for a file that could not be read.
        selectTab(Mp3FileTab);
        const QString text = QString::fromLocal8Bit(e.what());
        QMetaObject::invokeMethod(
            this, [this, text] { reportError(m_session.dialogs(), this, text); },
            Qt::QueuedConnection);
        return;
    }
    showPage(EditorPageIndex);
    m_editor->enterEditor();
}

void TForm1::runChanged(bool running) {
    // The tabs and tool bars start writes, reads and deletions, and switch to
    // pages that do: none of them while a run goes on.
    m_pageControl1->setEnabled(!running);
    m_stopShortcut->setEnabled(running);
    undoShortcutState();
    if (!running && m_closeAfterRun)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TForm1::ToolButton13Click() {
    showPage(SelectionPageIndex);
}

void TForm1::ToolButton8Click() {
    m_renamer->resetProgress();
    showPage(RenamerPageIndex);
}

void TForm1::Image1Click() {
    showPage(AboutPageIndex);
    // No tool button stays pressed for a page it no longer shows.
    for (QButtonGroup* group : findChildren<QButtonGroup*>()) {
        QAbstractButton* pressed = group->checkedButton();
        if (!pressed) continue;
        group->setExclusive(false);
        pressed->setChecked(false);
        group->setExclusive(true);
    }
}

// --- Actions on the selected file ----------------------------------------------

bool TForm1::selectedRowPath(QString& path) const {
    const int row = m_session.selection.selectedRow();
    if (row < 0) return false;
    path = m_session.selection.path(row);
    return true;
}

bool TForm1::selectedRowPathOrSay(QString& path) {
    if (selectedRowPath(path)) return true;
    m_session.dialogs().message(this, SelectFileMessage, QStringLiteral("Error"),
                                UserDialogs::Icon::Warning);
    return false;
}

void TForm1::ToolButton9Click() {
    guarded(m_session.dialogs(), this, [&] {
        QString path;
        if (!selectedRowPathOrSay(path)) return;
        // The desktop's open action runs the player in no folder of ours.
        LaunchFile(path, QString(), QString(), 1);
    });
}

void TForm1::ToolButton10Click() {
    guarded(m_session.dialogs(), this, [&] {
        QString path;
        if (!selectedRowPath(path)) return;
        if (!m_session.dialogs().question(
                this, QStringLiteral("Do you realy want to kill tag from selected file?"),
                QStringLiteral("Caution")))
            return;
        const auto recording = m_session.record(journal::Kind::Kill);
        tagfile::removeTag(m_session.ID3v241, nativePath(path), recording.get());
        if (recording) recording->finish();
    });
}

void TForm1::UndoButtonClick() {
    m_undo->start();
}

void TForm1::undoShortcutState() {
    m_undoShortcut->setEnabled(m_pageControl1->currentIndex() == Mp3FileTab &&
                               !m_session.run.active());
}

namespace {
// The file's path in the desktop's trash, "" where there is no trash (the
// file then stays where it is).
QString moveToTrash(const QString& path) {
    QFile file(path);
    if (!file.moveToTrash()) return {};
    const QFileInfo trashed(file.fileName());
    if (trashed.isAbsolute()) return trashed.filePath();
    // A trash folder that cannot be made leaves Qt with a trash relative to
    // the working folder: the file goes back, and its note and folders too.
    const QString name = trashed.fileName();
    QDir where(trashed.absolutePath());
    where.cdUp();
    QFile::rename(trashed.absoluteFilePath(), path);
    where.remove(QStringLiteral("info/") + name + QStringLiteral(".trashinfo"));
    for (const char* folder : {"files", "info"})
        where.rmdir(QLatin1String(folder));
    return {};
}
} // namespace

void TForm1::ToolButton11Click() {
    guarded(m_session.dialogs(), this, [&] {
        QString path;
        if (!selectedRowPathOrSay(path)) return;
        auto ask = [&](const QString& question) {
            return m_session.dialogs().question(this, question, QStringLiteral("Caution"));
        };
        if (!ask(QStringLiteral("Do you realy want to move this file to the trash?"))) return;
        // To the desktop's trash, an action Undo takes back; where there is
        // no trash, only a final delete is left.
        const QString trashed = moveToTrash(path);
        if (trashed.isEmpty()) {
            if (!ask(QStringLiteral("Do you realy want to delete this file from your hard disk?")))
                return;
            io::removeFile(nativePath(path));
        }
        m_session.selection.remove(m_session.selection.selectedRow());
        if (const auto recording = m_session.record(journal::Kind::Trash);
            recording && !trashed.isEmpty()) {
            recording->trashed(nativePath(path), nativePath(trashed));
            recording->finish();
        }
        m_selection->browser()->refresh();
    });
}

void TForm1::LaunchFile(const QString& file, const QString& parameters, const QString& folder,
                        int showMode) {
    fmxutils::LaunchFile(m_session.dialogs(), file, parameters, folder, showMode);
}

// --- Reading a file into the editor --------------------------------------------

void TForm1::Readtags() {
    m_session.TempFolder = tempFolder();
    m_editor->readFile(m_session.selection.path(m_session.selection.selectedRow()));
}

// --- Start-up and exit -----------------------------------------------------------

void TForm1::FormCreate() {
    m_settings = std::make_unique<ProgramSettings>();
    // Placed before the first showing: on X11 a window placed only once it is
    // being shown is placed by its inner edge, so it would open a title bar's
    // height higher at every start.
    move(m_settings->position());
    createProgramFolders();
}

void TForm1::FormShow() {
    using Folder = ProgramSettings::Folder;
    m_editor->pictures()->exportFolder = m_settings->folder(Folder::ImageSave);
    if (Form3) Form3->pictureFolder = m_settings->folder(Folder::OpenPicture);
    if (Form2) Form2->textFolder = m_settings->folder(Folder::OpenText);
    for (const renamer::TemplateRow& row : m_settings->renameTemplate())
        m_renamer->addTemplateRow(row);
    m_renamer->showrenamepreview();
    pressFileBrowser();
    m_firstEditorButton->setChecked(true);
    // Told once the window is up: a run of an earlier start cut short.
    if (const QString told = m_session.recoverJournal(); !told.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, told] {
                m_session.dialogs().message(this, told, QStringLiteral("Warning"),
                                            UserDialogs::Icon::Warning);
            },
            Qt::QueuedConnection);
}

void TForm1::FormDestroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    // Runs from the close and from the destructor: an error is reported here
    // and ends the exit work, the settings object is freed either way.
    guarded(m_session.dialogs(), this, [&] {
        const std::unique_ptr<ProgramSettings> settings = std::move(m_settings);
        if (!settings) return;
        using Folder = ProgramSettings::Folder;
        settings->writePosition(pos());
        settings->writeFolderOf(Folder::ImageSave, m_editor->pictures()->lastExportFile);
        if (Form3) settings->writeFolderOf(Folder::OpenPicture, Form3->lastPictureFile);
        if (Form2) settings->writeFolderOf(Folder::OpenText, Form2->lastTextFile);
        settings->writeTemplate(m_renamer->templateRows());
        cleanTempFolder(m_session.TempFolder);
        leaveTempFolder(m_session.TempFolder);
    });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    guarded(m_session.dialogs(), this, [&] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The exit work must not run under a run's feet: the run stops after the
    // file in hand, ends as it always does, and then the window closes.
    if (m_session.run.active()) {
        m_closeAfterRun = true;
        m_session.run.requestStop();
        event->ignore();
        return;
    }
    if (!unwrittenEditsSettled()) {
        event->ignore();
        return;
    }
    // A picture's helper does not outlive the window.
    m_editor->pictures()->cancelPreview();
    guarded(m_session.dialogs(), this, [&] { FormDestroy(); });
    event->accept();
}

bool TForm1::unwrittenEditsSettled() {
    if (!m_editor->changes()->any()) return true;
    const QString text =
        tr("The changes to %1 are not written yet.\n\nWrite them into the file before closing?")
            .arg(QFileInfo(m_editor->file()).fileName());
    switch (m_session.dialogs().askUnwritten(this, text, QStringLiteral("Caution"))) {
    case UserDialogs::Unwritten::Write:
        return m_editor->writeEdits();
    case UserDialogs::Unwritten::Discard:
        return true;
    case UserDialogs::Unwritten::Cancel:
        break;
    }
    return false;
}
