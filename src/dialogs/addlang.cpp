// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "dialogs/addlang.h"

#include "io/file.h"
#include "languages/languages.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/session.h"
#include "widgets/latin1.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBlock>
#include <algorithm>
#include <array>

namespace {

// How the dialog looks in each mode, in EntryDialogMode order.
struct ModeLayout {
    const char* caption;
    const char* textLabel;
    const char* confirm;
};
constexpr std::array<ModeLayout, 10> Layouts{{
    {"Add Lyric", "Lyric:", "Add"},
    {"Edit Lyric", "Lyric:", "Edit"},
    {"Add Comment", "Commet:", "Add"},
    {"Edit Comment", "Comment:", "Edit"},
    {"Add User Defined Text", "Text:", "Add"},
    {"Edit User Defined Text", "Text:", "Edit"},
    {"Add User Defined URL", "URL:", "Add"},
    {"Edit User Defined URL", "Url:", "Edit"},
    {"Add Terms Of Use", "Terms Of Use:", "Add"},
    {"Edit Terms Of Use", "Terms OF Use:", "Edit"},
}};

const QString LeftOutMessage =
    QStringLiteral("This file holds characters that a URL cannot store (URLs hold ISO-8859-1 "
                   "text only); they were left out.");

QByteArray readWholeFile(const QString& path) {
    io::File file(nativePath(path), io::File::Mode::Read);
    QByteArray bytes(qsizetype(file.size()), Qt::Uninitialized);
    bytes.resize(qsizetype(file.readAt(bytes.data(), size_t(bytes.size()), 0)));
    return bytes;
}

} // namespace

namespace addlang {

QString decodeTextFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

QString latin1Only(const QString& text, bool* leftOut) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() <= 0xFF) kept += c;
    if (leftOut) *leftOut = kept.size() != text.size();
    return kept;
}

} // namespace addlang

TForm2::TForm2(Session& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Add"));
    textFolder = QDir::homePath();

    Label1 = new QLabel(QStringLiteral("Description:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Description"));
    Label1->setBuddy(Edit1);

    Label2 = new QLabel(QStringLiteral("Language:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setAccessibleName(QStringLiteral("Language"));
    ComboBox1->setEditable(false);
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->view()->setAccessibleName(QStringLiteral("Language choices"));
    // A sorted list, sorted by itself: alphabetically, letter case ignored
    // (the main window's list keeps its fixed order).
    QStringList names;
    for (std::string_view name : languages::DisplayOrder)
        names << QString::fromUtf8(name.data(), qsizetype(name.size()));
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(-1);
    Label2->setBuddy(ComboBox1);

    Label3 = new QLabel(QStringLiteral("Text"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Text"));
    // Tab moves on to the buttons, so the keyboard never gets stuck in the memo.
    Memo1->setTabChangesFocus(true);
    restrictToLatin1(Memo1, [this] { return memoIsLatin1Only(); });
    Label3->setBuddy(Memo1);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    BitBtn1 = button("BitBtn1", "Add");
    BitBtn2 = button("BitBtn2", "Cancel");
    BitBtn3 = button("BitBtn3", "Import");
    BitBtn3->setToolTip(QStringLiteral("Load the text from a file"));
    BitBtn3->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    BitBtn1->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(ComboBox1, 1, 1);
    grid->addWidget(Label3, 2, 0, Qt::AlignTop);
    grid->addWidget(Memo1, 2, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn3);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    resize(460, 340);
    // The keyboard walks the buttons in the order they are seen, left to right.
    setTabOrder(Memo1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_session.dialogs(), this, [&] { FormShow(); });
}

void TForm2::setMode(EntryDialogMode mode, int index) {
    m_mode = mode;
    m_index = isEditMode(mode) ? index : 0;
}

int TForm2::showModal(EntryDialogMode mode, int index) {
    setMode(mode, index);
    m_stored = 0;
    return exec() == QDialog::Accepted ? m_stored : 0;
}

int TForm2::addEntry(tag::ListKind list) {
    return showModal(addMode(list), 0);
}

int TForm2::editEntry(tag::ListKind list, int index) {
    return showModal(editMode(list), index);
}

int TForm2::targetIndex() const {
    return isEditMode(m_mode) ? m_index : m_session.ID3v241.model().count(entryList(m_mode)) + 1;
}

bool TForm2::memoIsLatin1Only() const {
    return tag::latin1Only(entryList(m_mode), tag::Column::Text);
}

void TForm2::selectLanguage(const std::string& code) {
    const QString name = shownText(languages::LanguageName(code));
    ComboBox1->setCurrentIndex(name.isEmpty() ? -1
                                              : ComboBox1->findText(name, Qt::MatchFixedString));
}

void TForm2::FormShow() {
    using tag::Column;
    const EntryDialogMode mode = m_mode;
    const tag::ListKind list = entryList(mode);
    const bool description = tag::hasColumn(list, Column::Description);
    const bool language = tag::hasColumn(list, Column::Language);
    const ModeLayout& look = Layouts[size_t(mode)];
    setWindowTitle(QString::fromLatin1(look.caption));
    Label3->setText(QString::fromLatin1(look.textLabel));
    Memo1->setAccessibleName(Label3->text().chopped(1));
    BitBtn1->setText(QString::fromLatin1(look.confirm));
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Edit1)})
        w->setVisible(description);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(ComboBox1)})
        w->setVisible(language);

    // Hidden controls keep what they hold: they are not read in this mode.
    if (isEditMode(mode)) {
        const int index = targetIndex();
        const tag::TagData& model = m_session.ID3v241.model();
        const tag::EntryColumns entry = index >= 1 && index <= model.count(list)
                                            ? model.entry(list, index)
                                            : tag::EntryColumns{};
        if (description) Edit1->setText(shownText(entry[size_t(Column::Description)]));
        if (language) selectLanguage(entry[size_t(Column::Language)]);
        setMemoText(shownText(entry[size_t(Column::Text)]));
    } else {
        Edit1->clear();
        if (language) ComboBox1->setCurrentIndex(-1);
        Memo1->clear();
    }
    (description ? static_cast<QWidget*>(Edit1) : ComboBox1)->setFocus();
}

std::string TForm2::memoText() const {
    QStringList lines;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next())
        lines << addlang::splitLines(block.text().replace(QChar::LineSeparator, u'\n'));
    return modelText(lines.join(QStringLiteral("\r\n")));
}

void TForm2::setMemoText(const QString& text) {
    Memo1->setPlainText(addlang::splitLines(text).join(u'\n'));
}

int TForm2::storeEntry() {
    using tag::Column;
    const tag::ListKind list = entryList(m_mode);
    const int index = targetIndex();
    tag::EntryColumns entry;
    if (tag::hasColumn(list, Column::Description))
        entry[size_t(Column::Description)] = tag::withTerminator(modelText(Edit1->text()));
    if (tag::hasColumn(list, Column::Language))
        entry[size_t(Column::Language)] =
            languages::LanguageCode(modelText(ComboBox1->currentText()));
    entry[size_t(Column::Text)] = memoText();
    m_session.ID3v241.SetEntry(list, entry, index);
    m_stored = index;
    emit entryStored(list);
    return index;
}

void TForm2::importFile(const QString& path) {
    // Every character is kept, but a URL holds ISO-8859-1 only.
    bool leftOut = false;
    QString text = addlang::decodeTextFile(readWholeFile(path));
    if (memoIsLatin1Only()) text = addlang::latin1Only(text, &leftOut);
    setMemoText(text);
    if (leftOut)
        m_session.dialogs().message(this, LeftOutMessage, QStringLiteral("Warning!"),
                                    UserDialogs::Icon::Warning);
}

void TForm2::BitBtn1Click() {
    guarded(m_session.dialogs(), this, [&] {
        storeEntry();
        accept();
    });
}

void TForm2::BitBtn2Click() {
    reject();
}

void TForm2::BitBtn3Click() {
    guarded(m_session.dialogs(), this, [&] {
        const QString path =
            m_session.dialogs().openFile(this, QStringLiteral("Open"), textFolder, QString());
        if (path.isEmpty()) return;
        lastTextFile = path;
        // The open dialog starts where the user last found a file.
        textFolder = QFileInfo(path).absolutePath();
        importFile(path);
    });
}
