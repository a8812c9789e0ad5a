#include "tagprog1.h"

#include "aboutpage.h"
#include "browser/filebrowser.h"
#include "editorpage.h"
#include "fieldtable.h"
#include "fmxutils.h"
#include "programfolder.h"
#include "programsettings.h"
#include "renamerpage.h"
#include "reportview.h"
#include "selectionpage.h"
#include "userdialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace {
const QString SelectFileMessage = QStringLiteral("Please select file from selection list");
} // namespace

TForm1::TForm1(UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillet v1.2"));
    setFixedSize(678, 499);
    TempFolder = programFolder() + QStringLiteral("Temp/");

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(buildLeftColumn());

    m_pageControl2 = new QStackedWidget(central);
    m_pageControl2->setObjectName(QStringLiteral("PageControl2"));
    m_selection = new SelectionPage(*this, m_pageControl2);
    m_editor = new EditorPage(*this, m_pageControl2);
    m_renamer = new RenamerPage(*this, m_pageControl2);
    m_about = new AboutPage(*this, m_pageControl2);
    m_pageControl2->addWidget(m_selection);
    m_pageControl2->addWidget(m_editor);
    m_pageControl2->addWidget(m_renamer);
    m_pageControl2->addWidget(m_about);
    layout->addWidget(m_pageControl2, 1);
    setCentralWidget(central);

    connect(m_pageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

QWidget* TForm1::buildLeftColumn() {
    auto* column = new QWidget(this);
    column->setFixedWidth(138);
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
    m_fileButtons = new QButtonGroup(this);
    auto* browser =
        addToolButton(fileBar, QStringLiteral("ToolButton13"), QStringLiteral("File Browser"),
                      QStringLiteral("browser"), true, m_fileButtons);
    auto* renamer =
        addToolButton(fileBar, QStringLiteral("ToolButton8"), QStringLiteral("Turbo Renamer"),
                      QStringLiteral("renamer"), true, m_fileButtons);
    auto* play = addToolButton(fileBar, QStringLiteral("ToolButton9"), QStringLiteral("Play File"),
                               QStringLiteral("play"), false, nullptr);
    auto* kill = addToolButton(fileBar, QStringLiteral("ToolButton10"), QStringLiteral("Kill Tag"),
                               QStringLiteral("killtag"), false, nullptr);
    auto* remove =
        addToolButton(fileBar, QStringLiteral("ToolButton11"), QStringLiteral("Delete File"),
                      QStringLiteral("delete"), false, nullptr);
    static_cast<QVBoxLayout*>(fileBar->layout())->addStretch();
    connect(browser, &QToolButton::clicked, this, &TForm1::ToolButton13Click);
    connect(renamer, &QToolButton::clicked, this, &TForm1::ToolButton8Click);
    connect(play, &QToolButton::clicked, this, &TForm1::ToolButton9Click);
    connect(kill, &QToolButton::clicked, this, &TForm1::ToolButton10Click);
    connect(remove, &QToolButton::clicked, this, &TForm1::ToolButton11Click);

    auto* editorBar = new QWidget;
    editorBar->setObjectName(QStringLiteral("ToolBar1"));
    editorBar->setAccessibleName(tr("Editor pages"));
    new QVBoxLayout(editorBar);
    m_editorButtons = new QButtonGroup(this);
    for (int index : fields::ToolBarOrder) {
        const fields::SubPage& page = fields::SubPages[size_t(index)];
        QToolButton* button = addToolButton(
            editorBar, QString::fromLatin1(page.button.data(), qsizetype(page.button.size())),
            QString::fromLatin1(page.hint.data(), qsizetype(page.hint.size())),
            QString::fromLatin1(page.icon.data(), qsizetype(page.icon.size())), true,
            m_editorButtons);
        // The sub-page buttons switch only the editor's pages.
        connect(button, &QToolButton::clicked, this,
                [this, index] { m_editor->showSubPage(index); });
    }
    static_cast<QVBoxLayout*>(editorBar->layout())->addStretch();

    m_pageControl1->addTab(fileBar, QStringLiteral("Mp3 File"));
    m_pageControl1->addTab(editorBar, QStringLiteral("ZuRur v. 2.4"));
    layout->addWidget(m_pageControl1, 1);

    auto* about = new QToolButton(column);
    about->setObjectName(QStringLiteral("Image1"));
    about->setToolTip(QStringLiteral("About"));
    about->setAccessibleName(QStringLiteral("About"));
    about->setIcon(QIcon(QStringLiteral(":/icons/about.svg")));
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
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
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

// --- The current list item ---------------------------------------------------

void TForm1::reportSelections(QTreeWidget* view) {
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, view](const QItemSelection& selected, const QItemSelection& deselected) {
                // A row reports itself whether it became selected or not; the
                // newly selected one reports last.
                if (!selected.indexes().isEmpty())
                    listItemReported(view, selected.indexes().constFirst().row());
                else if (!deselected.indexes().isEmpty())
                    listItemReported(view, deselected.indexes().constFirst().row());
            });
}

void TForm1::listItemReported(QTreeWidget* view, int row) {
    m_currentListItem = QPersistentModelIndex(view->model()->index(row, 0));
}

int TForm1::currentListItemPosition(const QTreeWidget* view) const {
    if (!m_currentListItem.isValid() || m_currentListItem.model() != view->model()) return 0;
    return m_currentListItem.row() + 1;
}

void TForm1::firstRowBecomesCurrent() {
    QTreeWidget* list = m_selection->ListView1;
    m_currentListItem = list->topLevelItemCount() > 0
                            ? QPersistentModelIndex(list->model()->index(0, 0))
                            : QPersistentModelIndex();
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
    findChild<QToolButton*>(QStringLiteral("ToolButton13"))->setChecked(true);
}

void TForm1::mp3FileTabSteps() {
    showPage(SelectionPageIndex);
    pressFileBrowser();
    m_selection->browser()->refresh();
    firstRowBecomesCurrent();
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
}

void TForm1::PageControl1Change(int index) {
    if (m_programTabChange) return;
    guarded(m_dialogs, this, [&] {
        if (index == Mp3FileTab) {
            mp3FileTabSteps();
            return;
        }
        if (m_selection->ListView1->selectedRow() < 0) {
            m_dialogs.message(this, SelectFileMessage, QStringLiteral("Error"),
                              UserDialogs::Icon::Warning);
            selectTab(Mp3FileTab);
            return;
        }
        try {
            Readtags();
        } catch (...) {
            // The editor is not shown for a file that could not be read.
            selectTab(Mp3FileTab);
            throw;
        }
        showPage(EditorPageIndex);
        m_editor->enterEditor();
    });
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
}

// --- Actions on the selected file ----------------------------------------------

bool TForm1::selectedRowPath(QString& path) const {
    const int row = m_selection->ListView1->selectedRow();
    if (row < 0) return false;
    path = m_selection->rowPath(row);
    return true;
}

void TForm1::ToolButton9Click() {
    guarded(m_dialogs, this, [&] {
        if (!selectedRowPath(CurrentFilePath)) {
            m_dialogs.message(this, SelectFileMessage, QStringLiteral("Error"),
                              UserDialogs::Icon::Warning);
            return;
        }
        // The classic default folder "d:\" has no counterpart here.
        LaunchFile(CurrentFilePath, QString(), QString(), 1);
    });
}

void TForm1::ToolButton10Click() {
    guarded(m_dialogs, this, [&] {
        QString path;
        if (!selectedRowPath(path)) return;
        if (!m_dialogs.question(this,
                                QStringLiteral("Do you realy want to kill tag from selected file?"),
                                QStringLiteral("Caution")))
            return;
        CurrentFilePath = path;
        ID3v241.FileName = path.toStdString();
        ID3v241.ReadTag(TempFolder.toStdString(), true);
        ID3v241.RemoveTag();
    });
}

void TForm1::ToolButton11Click() {
    guarded(m_dialogs, this, [&] {
        QString path;
        if (!selectedRowPath(path)) {
            m_dialogs.message(this, SelectFileMessage, QStringLiteral("Error"),
                              UserDialogs::Icon::Warning);
            return;
        }
        if (!m_dialogs.question(
                this, QStringLiteral("Do you realy want to delete this file from your hard disk?"),
                QStringLiteral("Caution")))
            return;
        CurrentFilePath = path;
        io::removeFile(path.toStdString());
        m_selection->BitBtn2Click();
        m_selection->browser()->refresh();
    });
}

void TForm1::LaunchFile(const QString& file, const QString& parameters, const QString& folder,
                        int showMode) {
    fmxutils::LaunchFile(m_dialogs, file, parameters, folder, showMode);
}

void TForm1::reportError(const QString& text) {
    ::reportError(m_dialogs, this, text);
}

// --- Reading a file into the editor --------------------------------------------

void TForm1::Readtags() {
    m_editor->hidePicturePreview();
    const int row = m_selection->ListView1->selectedRow();
    CurrentFilePath = m_selection->rowPath(row);
    ID3v241.FileName = CurrentFilePath.toStdString();
    TempFolder = programFolder() + QStringLiteral("Temp/");
    ID3v241.ReadTag(TempFolder.toStdString(), false);
    m_editor->clearEntryLists();
    m_editor->cleaneditboxes();
    if (ID3v241.Id3v2present) m_editor->writeframetoedit();
    Id3v11.FileName = CurrentFilePath.toStdString();
    Id3v11.ReadTag();
    m_editor->writetag1edit();
}

void TForm1::refreshform() {
    QApplication::processEvents();
}

// --- Start-up and exit -----------------------------------------------------------

void TForm1::FormCreate() {
    (new ProgramSettings(*this))->readPosition();
    createProgramFolders();
}

void TForm1::FormShow() {
    if (ProgramSettings* settings = ProgramSettings::of(*this)) settings->readAtStartup();
    pressFileBrowser();
    findChild<QToolButton*>(QStringLiteral("ToolButton2"))->setChecked(true);
}

void TForm1::FormDestroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    // Runs from the close and from the destructor: an error is reported here
    // and ends the exit work, the settings object is freed either way.
    guarded(m_dialogs, this, [&] {
        std::unique_ptr<ProgramSettings> settings(ProgramSettings::of(*this));
        if (!settings) return;
        settings->writeAtExit();
        cleanTempFolder(TempFolder);
    });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    guarded(m_dialogs, this, [&] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    guarded(m_dialogs, this, [&] { FormDestroy(); });
    event->accept();
}
