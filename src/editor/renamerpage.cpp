// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/renamerpage.h"

#include "io/file.h"
#include "journal/recording.h"
#include "renamer/namefields.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/albumwrite.h"
#include "session/selectionrun.h"
#include "session/session.h"
#include "tagfile/tagchanges.h"
#include "tagfile/tagfile.h"
#include "widgets/loopprogress.h"
#include "widgets/reportview.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

const QString RenamerPage::InvalidCharsMessage =
    QStringLiteral("File name cannot contain *, ?, \\. Please replace these chars.");

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

bool refusedInName(const QString& text) {
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?')) ||
           text.contains(QLatin1Char('\\'));
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

RenamerPage::RenamerPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("TabSheet5"));
    setAccessibleName(QStringLiteral("Turbo Renamer"));
    auto* title = new QLabel(QStringLiteral("Turbo Renamer"), this);
    QFont font = title->font();
    font.setBold(true);
    font.setPixelSize(16);
    title->setFont(font);

    Edit38 = new QLineEdit(this);
    Edit38->setObjectName(QStringLiteral("Edit38"));
    ComboBox5 = new QComboBox(this);
    ComboBox5->setObjectName(QStringLiteral("ComboBox5"));
    ComboBox5->setEditable(false);
    for (const renamer::FrameName& row : renamer::FrameNameTable)
        ComboBox5->addItem(fromUtf8(row.name));
    ComboBox5->setCurrentIndex(-1);
    ComboBox5->setPlaceholderText(tr("(choose a field)"));
    ComboBox5->setMaxVisibleItems(20);
    ComboBox5->view()->setAccessibleName(tr("Frame name choices"));
    Edit39 = new QLineEdit(this);
    Edit39->setObjectName(QStringLiteral("Edit39"));

    auto* add = new QPushButton(QStringLiteral("Add to list"), this);
    add->setObjectName(QStringLiteral("BitBtn28"));
    auto* remove = new QPushButton(QStringLiteral("Delete from list"), this);
    remove->setObjectName(QStringLiteral("BitBtn29"));

    ListView8 = new ReportView(QStringLiteral("ListView8"), QStringLiteral("Rename Template List"),
                               {{QStringLiteral("Prefix"), 100},
                                {QStringLiteral("Frame Name"), 200},
                                {QStringLiteral("Sufix"), 100}},
                               this);
    Label77 = new QLabel(QStringLiteral("Unknown"), this);
    Label77->setObjectName(QStringLiteral("Label77"));
    // Named by its own text, the pattern, so that a screen reader reads it;
    // what it is comes as its description and from the label before it.
    Label77->setAccessibleDescription(QStringLiteral("Renamed File Name"));
    Label77->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label77->setWordWrap(true);
    Label77->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont previewFont = Label77->font();
    previewFont.setBold(true);
    Label77->setFont(previewFont);

    Button1 = new QPushButton(QStringLiteral("Rename files in selection list"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    StopButton = new QPushButton(tr("Stop"), this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->setToolTip(tr("Stop renaming after the file in hand (Esc)"));
    StopButton->hide();
    TagsFromNamesButton = new QPushButton(tr("Tags from names"), this);
    TagsFromNamesButton->setObjectName(QStringLiteral("TagsFromNamesButton"));
    TagsFromNamesButton->setToolTip(
        tr("Fill the fields of the template from each file's name, as the renamer would have "
           "built it: shows what each file gets, then writes only those fields"));
    NamesPreview = new ReportView(QStringLiteral("NamesPreview"), tr("Tags from names"), {}, this);
    NamesPreview->hide();
    ProgressBar2 = makeLoopBar(this, QStringLiteral("ProgressBar2"), tr("Rename progress"));
    Label80 = makeLoopCounter(this, QStringLiteral("Label80"));

    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(QStringLiteral("Prefix"), Edit38, this), 0, 0);
    fields->addWidget(buddyLabel(QStringLiteral("Frame name:"), ComboBox5, this), 0, 1);
    fields->addWidget(buddyLabel(QStringLiteral("Suffix:"), Edit39, this), 0, 2);
    fields->addWidget(Edit38, 1, 0);
    fields->addWidget(ComboBox5, 1, 1);
    fields->addWidget(Edit39, 1, 2);
    fields->setColumnStretch(0, 2);
    fields->setColumnStretch(1, 3);
    fields->setColumnStretch(2, 2);

    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    listButtons->addWidget(add);
    listButtons->addWidget(remove);

    auto* preview = new QHBoxLayout;
    preview->addWidget(buddyLabel(QStringLiteral("Renamed File Name:"), Label77, this), 0,
                       Qt::AlignTop);
    preview->addWidget(Label77, 1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(ProgressBar2, 1);
    progress->addWidget(buddyLabel(QStringLiteral("Done:"), ProgressBar2, this));
    progress->addWidget(Label80);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(title);
    layout->addLayout(fields);
    layout->addLayout(listButtons);
    layout->addWidget(buddyLabel(QStringLiteral("Rename Template List:"), ListView8, this));
    layout->addWidget(ListView8, 1);
    layout->addWidget(NamesPreview, 1);
    layout->addLayout(preview);
    auto* run = new QHBoxLayout;
    run->addWidget(Button1);
    run->addWidget(StopButton);
    run->addStretch();
    run->addWidget(TagsFromNamesButton);
    layout->addLayout(run);
    layout->addLayout(progress);

    connect(add, &QPushButton::clicked, this, &RenamerPage::BitBtn28Click);
    // Enter in the prefix or suffix adds the row, as the button does.
    connect(Edit38, &QLineEdit::returnPressed, this, &RenamerPage::BitBtn28Click);
    connect(Edit39, &QLineEdit::returnPressed, this, &RenamerPage::BitBtn28Click);
    connect(remove, &QPushButton::clicked, this, &RenamerPage::BitBtn29Click);
    connect(Button1, &QPushButton::clicked, this, &RenamerPage::Button1Click);
    connect(StopButton, &QPushButton::clicked, this, [this] { m_session.run.requestStop(); });
    connect(TagsFromNamesButton, &QPushButton::clicked, this, &RenamerPage::TagsFromNamesClick);
    // A preview of other names, or of another template, would mislead.
    const QAbstractItemModel* files = &m_session.selection;
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(files, signal, NamesPreview, &QWidget::hide);
    connect(files, &QAbstractItemModel::modelReset, NamesPreview, &QWidget::hide);
    connect(files, &QAbstractItemModel::dataChanged, NamesPreview, &QWidget::hide);
    connect(&m_session.run, &LoopRun::activeChanged, this, &RenamerPage::runChanged);
    m_session.reportSelections(ListView8);
    connect(ListView8->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                const QModelIndexList rows =
                    selected.indexes().isEmpty() ? deselected.indexes() : selected.indexes();
                if (!rows.isEmpty()) ListView8SelectItem(rows.constFirst().row());
            });
}

void RenamerPage::runChanged(bool running) {
    Button1->setEnabled(!running);
    TagsFromNamesButton->setEnabled(!running);
    StopButton->setVisible(running);
}

void RenamerPage::resetProgress() {
    showProgress(ProgressBar2, Label80, 0, 0);
}

// --- The template --------------------------------------------------------------

void RenamerPage::addTemplateRow(const QString& prefix, const QString& frameName,
                                 const QString& suffix) {
    ListView8->addRow({prefix, frameName, suffix});
}

void RenamerPage::addTemplateRow(const renamer::TemplateRow& row) {
    addTemplateRow(fromUtf8(row.prefix), fromUtf8(row.frameName), fromUtf8(row.suffix));
}

int RenamerPage::templateRowCount() const {
    return ListView8->topLevelItemCount();
}

QStringList RenamerPage::templateRow(int row) const {
    const QTreeWidgetItem* item = ListView8->topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

renamer::Template RenamerPage::templateRows() const {
    renamer::Template rows;
    for (int r = 0; r < templateRowCount(); ++r) {
        const QStringList cells = templateRow(r);
        rows.push_back({toUtf8(cells[0]), toUtf8(cells[1]), toUtf8(cells[2])});
    }
    return rows;
}

void RenamerPage::showrenamepreview() {
    Label77->setText(QString::fromStdString(renamer::previewname(templateRows())));
    NamesPreview->hide();
}

void RenamerPage::BitBtn28Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (refusedInName(Edit38->text()) || refusedInName(Edit39->text())) {
            m_session.dialogs().message(this, InvalidCharsMessage, QStringLiteral("Warning"),
                                        UserDialogs::Icon::Error);
            return;
        }
        addTemplateRow(Edit38->text(), ComboBox5->currentText(), Edit39->text());
        showrenamepreview();
    });
}

void RenamerPage::ListView8SelectItem(int row) {
    m_selectedTemplateRow = QPersistentModelIndex(ListView8->model()->index(row, 0));
}

void RenamerPage::BitBtn29Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (ListView8->selectedRow() < 0 || !m_selectedTemplateRow.isValid()) return;
        delete ListView8->takeTopLevelItem(m_selectedTemplateRow.row());
        showrenamepreview();
    });
}

// --- The run -------------------------------------------------------------------

void RenamerPage::Button1Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (m_session.run.active()) return;
        if (!m_session.dialogs().question(
                this,
                QStringLiteral("Do you realy want to rename all files in the selection list?"),
                QStringLiteral("Caution")))
            return;
        renameselection();
    });
}

void RenamerPage::renameselection() {
    SelectionList& list = m_session.selection;
    if (list.rowCount() == 0) {
        // Nothing to rename, and no step to compute.
        resetProgress();
        return;
    }
    const renamer::Template rows = templateRows();
    SelectionRun run(m_session, ProgressBar2, Label80, journal::Kind::Rename);
    run.forEachRow([&](int row) {
        const std::string folder = nativePath(list.folder(row));
        const std::string name = nativePath(list.file(row));
        m_session.ID3v241.FileName = folder + name;
        m_session.Id3v11.FileName = folder + name;
        // Texts only, no picture extracted; the trailer comes through the tag
        // read's own open file.
        m_session.ID3v241.ReadTexts(
            [this](const io::File& file) { m_session.Id3v11.ReadFrom(file); });
        const std::string newName = tagfile::renameFile(
            folder, name, renamer::makenewname(rows, m_session.ID3v241, m_session.Id3v11),
            toUtf8(SelectionList::number(row)), run.recording());
        list.setFile(row, fromNativePath(newName));
    });
    run.finish();
    emit finished();
}

// --- Tags from names ---------------------------------------------------------

void RenamerPage::TagsFromNamesClick() {
    guarded(m_session.dialogs(), this, [&] {
        if (m_session.run.active()) return;
        const renamer::Template rows = templateRows();
        // The fields of the template, each once, in the order they first stand.
        std::vector<const renamer::FrameName*> fields;
        for (const renamer::TemplateRow& row : rows) {
            const renamer::FrameName* field = renamer::findFrameName(row.frameName);
            if (field && std::find(fields.begin(), fields.end(), field) == fields.end())
                fields.push_back(field);
        }
        if (fields.empty()) {
            m_session.dialogs().message(
                this, tr("The template names no field: add a row with a frame name first."),
                QStringLiteral("Warning"), UserDialogs::Icon::Warning);
            return;
        }
        const SelectionList& list = m_session.selection;
        std::vector<std::optional<tagfile::TagChanges>> changes(size_t(list.rowCount()));
        // Why a file is left alone stands beside its name, in view.
        QStringList headers{QStringLiteral("No."), QStringLiteral("File"), tr("Note")};
        for (const renamer::FrameName* field : fields)
            headers << fromUtf8(field->name);
        NamesPreview->clear();
        NamesPreview->setHeaderLabels(headers);
        NamesPreview->setColumnWidth(0, 30);
        NamesPreview->setColumnWidth(1, 200);
        int matching = 0;
        for (int row = 0; row < list.rowCount(); ++row) {
            QStringList cells{SelectionList::number(row), list.file(row), QString()};
            const std::string name = toUtf8(list.file(row));
            const auto values = renamer::fieldsFromName(rows, renamer::withoutExtension(name));
            try {
                if (!values) throw std::runtime_error("does not match the template");
                changes[size_t(row)] = tagfile::TagChanges::fromName(*values);
                ++matching;
                for (const renamer::FrameName* field : fields)
                    for (const renamer::FieldValue& v : *values)
                        if (v.field == field) cells << fromUtf8(v.value);
            } catch (const std::runtime_error& e) {
                cells[2] = QString::fromUtf8(e.what());
            }
            NamesPreview->addRow(cells);
        }
        NamesPreview->resizeColumnToContents(2);
        NamesPreview->show();
        if (matching == 0) {
            m_session.dialogs().message(
                this, tr("No file name of the selection list matches the template."),
                QStringLiteral("Warning"), UserDialogs::Icon::Warning);
            return;
        }
        QString text = tr("Do you want to write the fields their names give into %n files of "
                          "the selection list?",
                          "", matching);
        if (const int left = list.rowCount() - matching; left > 0)
            text += tr("\n\n%n files whose names give no fields are left alone.", "", left);
        if (!m_session.dialogs().question(this, text, QStringLiteral("Caution"))) return;
        std::vector<AlbumWrite::Target> targets;
        for (int row = 0; row < list.rowCount(); ++row)
            if (changes[size_t(row)]) targets.push_back({list.path(row), &*changes[size_t(row)]});
        AlbumWrite(m_session, this).run(targets, ProgressBar2, Label80);
    });
}
