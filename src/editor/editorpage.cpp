// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/editorpage.h"

#include "editor/changemark.h"
#include "editor/editchanges.h"
#include "editor/entrylists.h"
#include "editor/picturepage.h"
#include "journal/recording.h"
#include "languages/languages.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/albumwrite.h"
#include "session/selectionrun.h"
#include "session/session.h"
#include "tagengine/timestamp.h"
#include "tagfile/batch.h"
#include "tagfile/tagchanges.h"
#include "tagfile/tagfile.h"
#include "text/values.h"
#include "widgets/busycursor.h"
#include "widgets/latin1.h"
#include "widgets/loopprogress.h"
#include "widgets/maskedit.h"
#include "widgets/reportview.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using fields::Kind;

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Limits typing to a length without cutting text the program puts in, and
// without stopping the user from shortening a longer text. The field's text is
// already the new one while it is validated, so the length before the edit is
// kept from the last change.
class LimitedLatin1Validator : public Latin1Validator {
public:
    LimitedLatin1Validator(QLineEdit* edit, int maxLength)
        : Latin1Validator(edit), m_max(maxLength) {
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_lengthBefore = int(text.size()); });
    }
    State validate(QString& input, int& pos) const override {
        if (input.size() > m_max && input.size() > m_lengthBefore) return Invalid;
        return Latin1Validator::validate(input, pos);
    }

private:
    int m_max;
    int m_lengthBefore = 0;
};

QComboBox* makeCombo(QWidget* parent, bool editable) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(editable);
    if (editable) combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    // The longest language name must not decide the width of its column.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    return combo;
}

void selectIgnoringCase(QComboBox* combo, const QString& text) {
    const int index = text.isEmpty() ? -1 : combo->findText(text, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (index < 0 && combo->isEditable()) combo->setEditText(QString());
}

// The position of a trailer field in id3::Fields.
size_t id3v1Index(std::string Id3v1::*member) {
    size_t i = 0;
    while (id3::Fields[i].member != member)
        ++i;
    return i;
}

QLabel* titleLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(16);
    label->setFont(font);
    return label;
}

} // namespace

EditorPage::EditorPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("TabSheet4"));
    setAccessibleName(tr("Tag editor"));
    PageControl3 = new QStackedWidget(this);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    m_lists = new EntryLists(session, this);
    m_pictures = new PicturePage(session, this);
    m_changes = new EditChanges([this] { return values(); }, this);
    for (const fields::SubPage& page : fields::SubPages)
        PageControl3->addWidget(buildSubPage(page));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(PageControl3, 1);
    layout->addWidget(buildButtonRow());
    connect(&m_session.run, &LoopRun::activeChanged, this, &EditorPage::runChanged);
    watchForChanges();
}

QWidget* EditorPage::buildSubPage(const fields::SubPage& sub) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet%1").arg(10 + sub.index));
    page->setAccessibleName(qs(sub.title));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    QLabel* title = titleLabel(qs(sub.title), page);
    layout->addWidget(title);
    // The picture list has no label of its own: its mark is beside the title.
    if (sub.index == 4)
        m_listMarks[size_t(tag::ListKind::Pictures)] = markBeside(title, qs(sub.title));

    // Fields in two columns, each label above its field.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(1);
    int n = 0;
    int total = 0;
    for (const auto& f : fields::EditorFields)
        total += f.subPage == sub.index;
    const int perColumn = (total + 1) / 2;
    for (const auto& f : fields::EditorFields) {
        if (f.subPage != sub.index) continue;
        QWidget* widget = makeField(f, page);
        auto* label = new QLabel(qs(f.label), page);
        label->setBuddy(widget);
        m_fieldMarks[size_t(f.prop)] = markBeside(label, widget->accessibleName());
        const int column = n / perColumn, row = n % perColumn;
        grid->addWidget(label, row * 2, column);
        grid->addWidget(widget, row * 2 + 1, column);
        ++n;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    if (n > 0) layout->addLayout(grid);

    switch (sub.index) {
    case 2:
        layout->addWidget(m_lists->panel(m_lists->ListView2), 1);
        break;
    case 3:
        layout->addWidget(m_lists->panel(m_lists->ListView3), 1);
        layout->addWidget(m_lists->panel(m_lists->ListView4), 1);
        layout->addWidget(m_lists->panel(m_lists->ListView7), 1);
        break;
    case 4:
        layout->addWidget(m_pictures, 1);
        break;
    case 5:
        layout->addWidget(m_lists->panel(m_lists->ListView6), 1);
        break;
    case 7:
        layout->addWidget(buildId3v1Page(page));
        layout->addStretch(1);
        break;
    default:
        layout->addStretch(1);
        break;
    }
    return page;
}

QWidget* EditorPage::makeField(const fields::EditorField& f, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (f.kind) {
    case Kind::Edit: {
        auto* edit = new QLineEdit(parent);
        // Texts take any character; URLs are ISO-8859-1 in the tag.
        if (tag::info(f.prop).kind == tag::FrameKind::Url) restrictToLatin1(edit);
        widget = edit;
        break;
    }
    case Kind::Date: {
        auto* date = new DateMaskEdit(m_session.dialogs(), parent);
        // A date the calendar does not have is refused as a blank year is:
        // the month first, then the day.
        date->setDateCheck([](const QString& text) {
            const std::string field = text.toStdString();
            const std::string stamp = timestamp::fieldToTimeStamp(field);
            if (timestamp::impossibleDate(stamp.substr(0, 7))) return 3;
            return timestamp::impossibleDate(stamp) ? 0 : -1;
        });
        widget = date;
        break;
    }
    case Kind::Genre: {
        QComboBox* combo = makeCombo(parent, true);
        for (std::string_view genre : id3::GenreTable)
            combo->addItem(qs(genre));
        widget = combo;
        break;
    }
    case Kind::Language: {
        QComboBox* combo = makeCombo(parent, true);
        restrictToLatin1(combo);
        for (std::string_view name : languages::DisplayOrder)
            combo->addItem(qs(name));
        widget = combo;
        break;
    }
    case Kind::Key: {
        QComboBox* combo = makeCombo(parent, true);
        for (std::string_view key : fields::Keys)
            combo->addItem(qs(key));
        widget = combo;
        break;
    }
    }
    widget->setObjectName(qs(f.control));
    QString accessible = qs(f.label);
    accessible.chop(1);
    widget->setAccessibleName(accessible.trimmed());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->view()->setAccessibleName(accessible.trimmed() + tr(" choices"));
        // The typing field inside an editable combo is a control of its own.
        if (combo->lineEdit()) combo->lineEdit()->setAccessibleName(accessible.trimmed());
        selectIgnoringCase(combo, QString());
    }
    m_fields[size_t(f.prop)] = widget;
    return widget;
}

QWidget* EditorPage::buildId3v1Page(QWidget* page) {
    auto* box = new QWidget(page);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    for (const fields::Id3v1Field& f : fields::Id3v1Fields) {
        const size_t index = id3v1Index(f.member);
        const id3::Field& field = id3::Fields[index];
        QWidget* widget;
        if (field.kind != id3::FieldKind::Genre) {
            auto* edit = new QLineEdit(box);
            edit->setValidator(new LimitedLatin1Validator(edit, int(field.maxLength)));
            widget = edit;
        } else {
            QComboBox* combo = makeCombo(box, false);
            for (std::string_view genre : id3::GenreTable)
                combo->addItem(qs(genre));
            combo->setCurrentIndex(-1);
            combo->view()->setAccessibleName(QStringLiteral("ID3v1.1 genres"));
            widget = combo;
        }
        widget->setObjectName(qs(f.control));
        QString accessible = qs(f.label);
        accessible.chop(1);
        widget->setAccessibleName(QStringLiteral("ID3v1.1 ") + accessible);
        auto* label = new QLabel(qs(f.label), box);
        label->setBuddy(widget);
        m_v1Marks[index] = markBeside(label, widget->accessibleName());
        grid->addWidget(label, row, 0);
        grid->addWidget(widget, row, 1);
        ++row;
        m_v1Fields[index] = widget;
    }
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* EditorPage::buildButtonRow() {
    auto* row = new QWidget(this);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);
    auto button = [row](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(caption), row);
        b->setObjectName(QString::fromLatin1(name));
        if (*hint) b->setToolTip(QString::fromLatin1(hint));
        return b;
    };
    auto* write = button("BitBtn19", "Write Tag", "Write Tag For Selected File");
    auto* writeAll =
        button("Button2", "Write for all", "Write Tag For All Files In selection List");
    auto* writeChanges =
        button("WriteChangesButton", "Write changes to all",
               "Write only what you changed since the file was read (the fields marked) into "
               "every file of the selection list; each file keeps everything else of its own");
    auto* copyTo = button("BitBtn20", "Copy to ID3v1.1",
                          "Copy compatible informations from ID3v2.4 to ID3v1.1");
    auto* copyFrom = button("BitBtn21", "Copy from ID3v1.1",
                            "Copy compatible informations from ID3v1.1 to ID3v2.4");
    auto* cancel = button("Button3", "Cancel editing", "");
    grid->addWidget(write, 0, 0);
    grid->addWidget(writeAll, 0, 1);
    grid->addWidget(writeChanges, 0, 2);
    grid->addWidget(copyTo, 1, 0);
    grid->addWidget(copyFrom, 1, 1);
    grid->addWidget(cancel, 1, 2);

    ProgressBar1 = makeLoopBar(row, QStringLiteral("ProgressBar1"), QStringLiteral("Progress"));
    ProgressBar1->setValue(0);
    auto* done = new QLabel(QStringLiteral("Done:"), row);
    done->setObjectName(QStringLiteral("Label73"));
    Label74 = new QLabel(QStringLiteral("0 of 0"), row);
    Label74->setObjectName(QStringLiteral("Label74"));
    Label74->setMinimumWidth(70);
    fixCounterSize(Label74);
    done->setBuddy(ProgressBar1);
    auto* progress = new QHBoxLayout;
    progress->addWidget(ProgressBar1, 1);
    progress->addWidget(done);
    progress->addWidget(Label74);
    grid->addLayout(progress, 2, 0, 1, 3);

    connect(write, &QPushButton::clicked, this, &EditorPage::BitBtn19Click);
    connect(writeAll, &QPushButton::clicked, this, &EditorPage::Button2Click);
    connect(writeChanges, &QPushButton::clicked, this, &EditorPage::WriteChangesClick);
    connect(copyTo, &QPushButton::clicked, this, &EditorPage::BitBtn20Click);
    connect(copyFrom, &QPushButton::clicked, this, &EditorPage::BitBtn21Click);
    connect(cancel, &QPushButton::clicked, this, &EditorPage::Button3Click);
    m_lockedDuringRun = {write, writeAll, writeChanges, copyTo, copyFrom, PageControl3};
    return row;
}

void EditorPage::runChanged(bool running) {
    for (QWidget* w : m_lockedDuringRun)
        w->setEnabled(!running);
}

void EditorPage::showSubPage(int index) {
    PageControl3->setCurrentIndex(index);
}

void EditorPage::enterEditor() {
    hidePicturePreview();
    showProgress(ProgressBar1, Label74, 0, 0);
}

void EditorPage::hidePicturePreview() {
    m_pictures->hidePreview();
}

// --- Reading into the editor -----------------------------------------------------

void EditorPage::readFile(const QString& path) {
    m_changes->forget();
    hidePicturePreview();
    m_file = path;
    m_session.ID3v241.FileName = nativePath(path);
    m_session.ID3v241.ReadTag(nativePath(m_session.TempFolder), false);
    clearEntryLists();
    cleaneditboxes();
    if (m_session.ID3v241.Id3v2present) writeframetoedit();
    m_session.Id3v11.FileName = nativePath(path);
    m_session.Id3v11.ReadTag();
    writetag1edit();
    m_changes->reset();
}

void EditorPage::clearEntryLists() {
    m_lists->clearAll();
    m_pictures->ListView5->clear();
}

QString EditorPage::fieldText(const fields::EditorField& f) const {
    QWidget* w = field(f.prop);
    switch (f.kind) {
    case Kind::Edit:
        return static_cast<QLineEdit*>(w)->text();
    case Kind::Date:
        return static_cast<DateMaskEdit*>(w)->dateText();
    default:
        return static_cast<QComboBox*>(w)->currentText();
    }
}

void EditorPage::setFieldText(const fields::EditorField& f, const std::string& text) {
    QWidget* w = field(f.prop);
    switch (f.kind) {
    case Kind::Edit:
        static_cast<QLineEdit*>(w)->setText(shownText(values::joined(text)));
        break;
    case Kind::Date:
        static_cast<DateMaskEdit*>(w)->setDateText(
            QString::fromLatin1(timestamp::timeStampToField(text).c_str()));
        break;
    case Kind::Genre:
        static_cast<QComboBox*>(w)->setCurrentIndex(-1);
        static_cast<QComboBox*>(w)->setEditText(shownText(values::joined(text)));
        break;
    case Kind::Language:
        selectIgnoringCase(static_cast<QComboBox*>(w), shownText(languages::LanguageName(text)));
        break;
    case Kind::Key:
        selectIgnoringCase(static_cast<QComboBox*>(w), shownText(text));
        break;
    }
}

void EditorPage::cleaneditboxes() {
    for (const auto& f : fields::EditorFields) {
        if (f.kind == Kind::Date)
            static_cast<DateMaskEdit*>(field(f.prop))->clearDate();
        else if (f.kind == Kind::Edit)
            static_cast<QLineEdit*>(field(f.prop))->clear();
        else
            selectIgnoringCase(static_cast<QComboBox*>(field(f.prop)), QString());
    }
}

void EditorPage::writeframetoedit() {
    const ID3v24& tag = m_session.ID3v241;
    for (const auto& f : fields::EditorFields)
        if (f.kind != Kind::Date) setFieldText(f, tag.text(f.prop));
    m_lists->readuserurl();
    m_lists->readcomments();
    m_lists->readUSLT();
    m_pictures->readpicture();
    m_lists->readUSER();
    m_lists->readuserText();
    WriteTimeToEdit();
}

void EditorPage::WriteTimeToEdit() {
    for (const auto& f : fields::EditorFields)
        if (f.kind == Kind::Date) setFieldText(f, m_session.ID3v241.text(f.prop));
}

QWidget* EditorPage::id3v1Field(std::string Id3v1::*member) const {
    return m_v1Fields[id3v1Index(member)];
}
QLineEdit* EditorPage::v1Edit(std::string Id3v1::*member) const {
    return static_cast<QLineEdit*>(id3v1Field(member));
}
QComboBox* EditorPage::v1Genre() const {
    return static_cast<QComboBox*>(id3v1Field(&Id3v1::Genre));
}

void EditorPage::writetag1edit() {
    const Id3v1& v1 = m_session.Id3v11;
    for (size_t i = 0; i < id3::Fields.size(); ++i) {
        const id3::Field& f = id3::Fields[i];
        const QString text = shownText(v1.*f.member);
        if (f.kind == id3::FieldKind::Genre)
            v1Genre()->setCurrentIndex(
                v1Genre()->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        else
            static_cast<QLineEdit*>(m_v1Fields[i])->setText(text);
    }
}

// --- Writing from the editor -----------------------------------------------------

std::string EditorPage::fieldValue(const fields::EditorField& f) const {
    const QString text = fieldText(f);
    switch (f.kind) {
    case Kind::Date:
        return timestamp::fieldToTimeStamp(text.toStdString());
    case Kind::Language:
        return languages::LanguageCode(modelText(text));
    case Kind::Key:
        return modelText(text);
    default:
        return values::split(modelText(text));
    }
}

void EditorPage::fieldsToModel() {
    for (const auto& f : fields::EditorFields)
        m_session.ID3v241.setText(f.prop, fieldValue(f));
}

std::array<std::string, id3::Fields.size()> EditorPage::id3v1Values() const {
    std::array<std::string, id3::Fields.size()> v1;
    for (size_t i = 0; i < id3::Fields.size(); ++i) {
        // The genre is the name chosen from the list, empty when none is.
        QString text;
        if (id3::Fields[i].kind != id3::FieldKind::Genre)
            text = static_cast<QLineEdit*>(m_v1Fields[i])->text();
        else if (v1Genre()->currentIndex() >= 0)
            text = v1Genre()->currentText();
        v1[i] = modelText(text);
    }
    return v1;
}

void EditorPage::id3v1FieldsToComponent() {
    const auto v1 = id3v1Values();
    for (size_t i = 0; i < id3::Fields.size(); ++i)
        m_session.Id3v11.*id3::Fields[i].member = v1[i];
}

tagfile::TagValues EditorPage::values() const {
    tagfile::TagValues v{m_session.ID3v241.model(), id3v1Values()};
    for (const auto& f : fields::EditorFields)
        v.tag.text(f.prop) = fieldValue(f);
    return v;
}

void EditorPage::writeTagSteps(const QString& path, journal::Recording* recording,
                               writetag::Loss loss) {
    fieldsToModel();
    id3v1FieldsToComponent();
    tagfile::writeTag(m_session.ID3v241, nativePath(path), &m_session.Id3v11, tagfile::Header::Read,
                      recording, false, loss);
}

bool EditorPage::writeEdits() {
    bool written = false;
    guarded(m_session.dialogs(), this, [&] {
        const auto loss = AlbumWrite::lossAccepted(m_session, this, {m_file});
        if (!loss) return;
        BusyCursor busy;
        const auto recording = m_session.record(journal::Kind::Write);
        writeTagSteps(m_file, recording.get(), *loss);
        if (recording) recording->finish();
        m_changes->reset();
        written = true;
    });
    return written;
}

void EditorPage::BitBtn19Click() {
    if (writeEdits()) emit done();
}

void EditorPage::Button2Click() {
    guarded(m_session.dialogs(), this, [&] {
        if (!m_session.dialogs().question(
                this, QStringLiteral("Do you realy want to tag all files in the selection list?"),
                QStringLiteral("Caution")))
            return;
        // The edited file is written first, and once: its row, when it has
        // one, holds the same bytes after that write, and is not read again.
        QStringList paths{m_file};
        int editedRow = -1;
        for (int row = 0; row < m_session.selection.rowCount(); ++row) {
            const QString path = m_session.selection.path(row);
            if (editedRow < 0 && path == m_file) {
                editedRow = row;
                paths << QString(); // nothing to ask about: not read again
            } else {
                paths << path;
            }
        }
        // One action: the edited file and every row, as far as the run gets.
        SelectionRun run(m_session, ProgressBar1, Label74, journal::Kind::Write);
        fieldsToModel();
        id3v1FieldsToComponent();
        // The files are planned a batch at a time and written once the
        // journal holds the batch. A stop while files are planned writes
        // those planned so far; a stop while a batch is written leaves the
        // rest of it untouched. The window stays live while a batch is written.
        const int rows = m_session.selection.rowCount();
        int planned = 0, written = 0;
        bool stoppedBefore = false;
        tagfile::Batch batch(run.recording(),
                             [&](size_t index, std::exception_ptr error) {
                                 if (error) return;
                                 // The edited file holds what the editor shows.
                                 if (index == 0) m_changes->reset();
                                 if (index > 0 || editedRow >= 0) ++written;
                             },
                             {.stopAtError = true,
                              .stopRequested =
                                  [&] {
                                      if (rows > 0) run.fileDone(planned, rows);
                                      return !stoppedBefore && run.stopRequested();
                                  },
                              // Asked before the first file is written, of
                              // the files read so far and the rest.
                              .approve =
                                  [&](const std::vector<tagfile::Dropped>& dropped, size_t next) {
                                      return AlbumWrite::lossAccepted(m_session, this, paths,
                                                                      dropped, next);
                                  }});
        const auto plan = [&](const QString& path, size_t index) {
            try {
                batch.planWrite(m_session.ID3v241, nativePath(path), &m_session.Id3v11, {}, index);
            } catch (const tagfile::Declined&) {
                throw;
            } catch (...) {
                batch.flush(); // the files before it are done
                throw;
            }
        };
        try {
            plan(m_file, 0);
            run.forEachRow([&](int row) {
                if (row != editedRow)
                    plan(m_session.selection.path(row), static_cast<size_t>(row) + 1);
                planned = row + 1;
            });
            stoppedBefore = run.stopRequested();
            batch.flush();
        } catch (const tagfile::Declined&) {
            return; // nothing written
        }
        // The count shows the files written, also after a stop.
        if (rows > 0 && written < planned) run.fileDone(written, rows);
        run.finish();
        emit finished();
    });
}

void EditorPage::WriteChangesClick() {
    if (m_session.run.active()) return;
    // A copy: the model the changes are compared with stays as it is.
    const tagfile::TagChanges changes = m_changes->changes();
    if (changes.empty()) {
        m_session.dialogs().message(
            this, tr("Nothing was changed since the file was read: there is nothing to write."),
            QStringLiteral("Write changes to all"), UserDialogs::Icon::Information);
        return;
    }
    const SelectionList& list = m_session.selection;
    if (!m_session.dialogs().question(
            this,
            tr("Do you want to write these changes into all %n files of the selection list?", "",
               list.rowCount()) +
                QStringLiteral("\n\n") + changedFields().join(QStringLiteral(", ")) +
                tr("\n\nEach file keeps everything else of its own."),
            QStringLiteral("Caution")))
        return;
    std::vector<AlbumWrite::Target> targets;
    for (int row = 0; row < list.rowCount(); ++row)
        targets.push_back({list.path(row), &changes});
    AlbumWrite write(m_session, this);
    bool ran = false;
    guarded(m_session.dialogs(), this, [&] { ran = write.run(targets, ProgressBar1, Label74); });
    // Until every file holds them, the changes stay to be written again.
    if (write.written() == int(targets.size())) m_changes->reset();
    if (ran) emit finished();
}

void EditorPage::Button3Click() {
    // During "Write for all" it stops the run; the files done stay written.
    if (m_session.run.active()) {
        m_session.run.requestStop();
        return;
    }
    // Leaving the editor discards what it shows.
    m_changes->reset();
    guarded(m_session.dialogs(), this, [&] { emit done(); });
}

// --- What changed since the read ------------------------------------------------

ChangeMark* EditorPage::markBeside(QLabel* label, const QString& field) {
    return new ChangeMark(label, field);
}

void EditorPage::watchForChanges() {
    const auto update = [this] { m_changes->update(); };
    for (QWidget* w : m_fields) {
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            connect(edit, &QLineEdit::textChanged, this, update);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            connect(combo, &QComboBox::currentIndexChanged, this, update);
            connect(combo, &QComboBox::editTextChanged, this, update);
        }
    }
    for (QWidget* w : m_v1Fields) {
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            connect(edit, &QLineEdit::textChanged, this, update);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            connect(combo, &QComboBox::currentIndexChanged, this, update);
    }
    // Every change of a list ends with its view rebuilt from the model.
    for (size_t l = 0; l < tag::ListKindCount; ++l) {
        const auto list = tag::ListKind(l);
        QAbstractItemView* view = list == tag::ListKind::Pictures
                                      ? static_cast<QAbstractItemView*>(m_pictures->ListView5)
                                      : m_lists->view(list);
        const QAbstractItemModel* model = view->model();
        connect(model, &QAbstractItemModel::rowsInserted, this, update);
        connect(model, &QAbstractItemModel::rowsRemoved, this, update);
        connect(model, &QAbstractItemModel::modelReset, this, update);
        connect(model, &QAbstractItemModel::dataChanged, this, update);
        if (list == tag::ListKind::Pictures) continue;
        // The mark goes beside the list's own label.
        for (QLabel* label : view->parentWidget()->findChildren<QLabel*>())
            if (label->buddy() == view) {
                QString name = label->text();
                name.chop(1);
                m_listMarks[l] = markBeside(label, name);
            }
    }
    connect(m_changes, &EditChanges::changed, this, &EditorPage::showChanges);
}

void EditorPage::showChanges() {
    const tagfile::TagChanges& changes = m_changes->changes();
    for (const auto& f : fields::EditorFields) {
        const bool changed = changes.changed(f.prop);
        m_fieldMarks[size_t(f.prop)]->setChanged(changed);
        // Read with the field by a screen reader.
        field(f.prop)->setAccessibleDescription(changed ? tr("changed") : QString());
    }
    for (size_t l = 0; l < tag::ListKindCount; ++l)
        m_listMarks[l]->setChanged(changes.changed(tag::ListKind(l)));
    for (size_t i = 0; i < id3::Fields.size(); ++i) {
        m_v1Marks[i]->setChanged(changes.trailerChanged(i));
        m_v1Fields[i]->setAccessibleDescription(changes.trailerChanged(i) ? tr("changed")
                                                                          : QString());
    }
}

QStringList EditorPage::changedFields() const {
    QStringList names;
    const tagfile::TagChanges& changes = m_changes->changes();
    for (const auto& f : fields::EditorFields)
        if (changes.changed(f.prop)) names << field(f.prop)->accessibleName();
    for (size_t l = 0; l < tag::ListKindCount; ++l)
        if (changes.changed(tag::ListKind(l))) names << m_listMarks[l]->field();
    for (size_t i = 0; i < id3::Fields.size(); ++i)
        if (changes.trailerChanged(i)) names << m_v1Fields[i]->accessibleName();
    return names;
}

void EditorPage::BitBtn20Click() {
    // The release year, or the recording year when there is none; a field
    // without a year leaves the trailer's year as it is.
    auto year = [this](tag::Prop p) {
        const QString y = static_cast<DateMaskEdit*>(field(p))->dateText().mid(6, 4);
        return y.trimmed().size() == 4 ? y : QString();
    };
    QString v1Year = year(tag::Prop::RelaseTime);
    if (v1Year.isEmpty()) v1Year = year(tag::Prop::RecordTime);
    // The trailer is ISO-8859-1: what it cannot hold becomes "?".
    auto text = [this](tag::Prop p) {
        return withinLatin1(static_cast<QLineEdit*>(field(p))->text());
    };
    v1Edit(&Id3v1::TrackNum)->setText(text(tag::Prop::TrackNum));
    v1Edit(&Id3v1::Title)->setText(text(tag::Prop::Title));
    v1Edit(&Id3v1::Artist)->setText(text(tag::Prop::LeadPerformer));
    if (!v1Year.isEmpty()) v1Edit(&Id3v1::Year)->setText(v1Year);
    v1Edit(&Id3v1::Album)->setText(text(tag::Prop::Album));
    const QString genre = static_cast<QComboBox*>(field(tag::Prop::ContentType))->currentText();
    v1Genre()->setCurrentIndex(genre.isEmpty() ? -1
                                               : v1Genre()->findText(genre, Qt::MatchFixedString));
}

void EditorPage::BitBtn21Click() {
    auto set = [this](tag::Prop p, const QString& t) {
        static_cast<QLineEdit*>(field(p))->setText(t);
    };
    set(tag::Prop::TrackNum, v1Edit(&Id3v1::TrackNum)->text());
    set(tag::Prop::Title, v1Edit(&Id3v1::Title)->text());
    set(tag::Prop::LeadPerformer, v1Edit(&Id3v1::Artist)->text());
    set(tag::Prop::Album, v1Edit(&Id3v1::Album)->text());
    static_cast<DateMaskEdit*>(field(tag::Prop::RelaseTime))
        ->setDateText(QStringLiteral("01.01.") +
                      v1Edit(&Id3v1::Year)->text().leftJustified(4, QLatin1Char(' '), true));
    auto* genre = static_cast<QComboBox*>(field(tag::Prop::ContentType));
    const QString name = v1Genre()->currentIndex() < 0 ? QString() : v1Genre()->currentText();
    selectIgnoringCase(genre, name);
}
