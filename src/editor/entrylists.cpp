// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/entrylists.h"

#include "dialogs/addlang.h"
#include "languages/languages.h"
#include "services/userdialogs.h"
#include "session/session.h"
#include "widgets/latin1.h"
#include "widgets/reportview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

const QString WarningCaption = QStringLiteral("Warning!");
const QString ListFullMessage =
    QStringLiteral("This list is full: a tag holds at most 100 entries of a kind.");

// The columns a list view shows after "No.", in this order.
constexpr tag::Column Shown[] = {tag::Column::Description, tag::Column::Language, tag::Column::Text,
                                 tag::Column::MimeType, tag::Column::PictureType};

} // namespace

QStringList entryRow(const tag::TagData& tag, tag::ListKind list, int k) {
    const tag::EntryColumns entry = tag.entry(list, k);
    QStringList cells{QString::number(k)};
    for (tag::Column c : Shown) {
        if (!tag::hasColumn(list, c)) continue;
        const std::string& text = entry[size_t(c)];
        cells << shownText(c == tag::Column::Language ? languages::LanguageName(text) : text);
    }
    return cells;
}

// One row per list: its view and the view's columns, its label, its buttons
// and their handlers, and the warning of its Edit button.
struct EntryLists::ListInfo {
    tag::ListKind list;
    ReportView* EntryLists::*view;
    const char* objectName;
    const char* label;
    const char* noun; // names the buttons for assistive technology
    QList<std::pair<QString, int>> columns;
    std::array<const char*, 3> buttons;
    std::array<void (EntryLists::*)(), 3> handlers;
    const char* editWarning;
};

// In the order the lists stand on their sub-pages.
const std::array<EntryLists::ListInfo, 5> EntryLists::Lists{{
    {tag::ListKind::UserUrls,
     &EntryLists::ListView2,
     "ListView2",
     "User Defined URLs:",
     "user defined URL",
     {{"No.", 30}, {"Description", 250}, {"Url", 250}},
     {"BitBtn3", "BitBtn4", "BitBtn5"},
     {&EntryLists::BitBtn3Click, &EntryLists::BitBtn4Click, &EntryLists::BitBtn5Click},
     "You have not chosen any URL to edit!"},
    {tag::ListKind::Lyrics,
     &EntryLists::ListView3,
     "ListView3",
     "Texts/Lyrics:",
     "lyric",
     {{"No.", 30}, {"Description", 200}, {"Language", 100}, {"Lyric", 200}},
     {"BitBtn6", "BitBtn7", "BitBtn8"},
     {&EntryLists::BitBtn6Click, &EntryLists::BitBtn7Click, &EntryLists::BitBtn8Click},
     "You have not chosen any lyric to edit!"},
    {tag::ListKind::Comments,
     &EntryLists::ListView4,
     "ListView4",
     "Comments:",
     "comment",
     {{"No.", 30}, {"Description", 200}, {"Language", 100}, {"Comment", 200}},
     {"BitBtn9", "BitBtn10", "BitBtn11"},
     {&EntryLists::BitBtn9Click, &EntryLists::BitBtn10Click, &EntryLists::BitBtn11Click},
     "You have not chosen any comment to edit!"},
    {tag::ListKind::UserTexts,
     &EntryLists::ListView7,
     "ListView7",
     "User Defined Text:",
     "user defined text",
     {{"No.", 30}, {"Description", 200}, {"Text", 300}},
     {"BitBtn25", "BitBtn26", "BitBtn27"},
     {&EntryLists::BitBtn25Click, &EntryLists::BitBtn26Click, &EntryLists::BitBtn27Click},
     "You have not chosen any text to edit!"},
    {tag::ListKind::TermsOfUse,
     &EntryLists::ListView6,
     "ListView6",
     "Terms of Use:",
     "terms of use",
     {{"No.", 30}, {"Language", 100}, {"Terms of Use", 400}},
     {"BitBtn16", "BitBtn17", "BitBtn18"},
     {&EntryLists::BitBtn16Click, &EntryLists::BitBtn17Click, &EntryLists::BitBtn18Click},
     "You have not chosen any term to edit!"},
}};

const EntryLists::ListInfo& EntryLists::info(tag::ListKind list) {
    for (const ListInfo& info : Lists)
        if (info.list == list) return info;
    throw std::invalid_argument("no entry list view shows this list");
}

EntryLists::EntryLists(Session& session, QWidget* parent) : QObject(parent), m_session(session) {
    for (const ListInfo& info : Lists) {
        QString accessible = QString::fromLatin1(info.label);
        accessible.chop(1);
        this->*info.view =
            new ReportView(QString::fromLatin1(info.objectName), accessible, info.columns);
        makePanel(info, parent);
        m_session.reportSelections(this->*info.view, info.list);
    }
}

QWidget* EntryLists::makePanel(const ListInfo& info, QWidget* parent) {
    ReportView* list = this->*info.view;
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* caption = new QLabel(QString::fromLatin1(info.label), panel);
    caption->setBuddy(list);
    list->setParent(panel);
    layout->addWidget(caption);
    layout->addWidget(list, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 2, 0, 0);
    static constexpr std::array<const char*, 3> Captions{"Add", "Edit", "Remove"};
    for (size_t i = 0; i < 3; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(Captions[i]), panel);
        button->setObjectName(QString::fromLatin1(info.buttons[i]));
        // Three lists share sub-page 3: "Add" alone would not say which one.
        button->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromLatin1(Captions[i]),
                                                              QString::fromLatin1(info.noun)));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, info.handlers[i]);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return panel;
}

QWidget* EntryLists::panel(ReportView* view) const {
    return view->parentWidget();
}

ReportView* EntryLists::view(tag::ListKind list) const {
    return this->*info(list).view;
}

// --- Rows ------------------------------------------------------------------------

// A row shows each text on one line: multi-line lyrics and comments would
// otherwise make rows as tall as the text. The whole text is in the cell's tooltip.
void EntryLists::appendRows(tag::ListKind list) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    ReportView* v = view(list);
    const tag::TagData& model = m_session.ID3v241.model();
    for (int k = 1; k <= model.count(list); ++k) {
        const QStringList full = entryRow(model, list, k);
        QStringList cells = full;
        for (QString& cell : cells)
            if (cell.contains(lineBreak))
                cell = cell.split(lineBreak, Qt::SkipEmptyParts).join(QStringLiteral(" / "));
        v->addRow(cells);
        QTreeWidgetItem* row = v->topLevelItem(v->topLevelItemCount() - 1);
        for (int i = 0; i < full.size(); ++i)
            if (full[i] != cells[i]) row->setToolTip(i, full[i]);
    }
}

void EntryLists::readuserurl() {
    appendRows(tag::ListKind::UserUrls);
}
void EntryLists::readUSLT() {
    appendRows(tag::ListKind::Lyrics);
}
void EntryLists::readcomments() {
    appendRows(tag::ListKind::Comments);
}
void EntryLists::readuserText() {
    appendRows(tag::ListKind::UserTexts);
}
void EntryLists::readUSER() {
    appendRows(tag::ListKind::TermsOfUse);
}

void EntryLists::clearAll() {
    for (const ListInfo& info : Lists)
        (this->*info.view)->clear();
}

void EntryLists::rebuild(tag::ListKind list) {
    view(list)->clear();
    appendRows(list);
}

// --- The buttons ---------------------------------------------------------------

void EntryLists::addEntry(tag::ListKind list) {
    // The dialog stores a new entry at count + 1; a full list has no place for it.
    if (m_session.ID3v241.model().full(list)) {
        m_session.dialogs().message(view(list), ListFullMessage, WarningCaption,
                                    UserDialogs::Icon::Warning);
        return;
    }
    if (m_dialog) m_dialog->addEntry(list);
}

void EntryLists::editEntry(tag::ListKind list) {
    const int index = m_session.currentListItemPosition(list);
    if (index == 0) {
        m_session.dialogs().message(view(list), QString::fromLatin1(info(list).editWarning),
                                    WarningCaption, UserDialogs::Icon::Warning);
        return;
    }
    if (m_dialog) m_dialog->editEntry(list, index);
}

void EntryLists::removeEntry(tag::ListKind list) {
    if (view(list)->selectedRow() < 0) return;
    // Position 0 (the current list item is a row of another list) removes nothing.
    m_session.ID3v241.DeleteEntry(list, m_session.currentListItemPosition(list));
    rebuild(list);
}

void EntryLists::BitBtn3Click() {
    addEntry(tag::ListKind::UserUrls);
}
void EntryLists::BitBtn4Click() {
    editEntry(tag::ListKind::UserUrls);
}
void EntryLists::BitBtn5Click() {
    removeEntry(tag::ListKind::UserUrls);
}
void EntryLists::BitBtn6Click() {
    addEntry(tag::ListKind::Lyrics);
}
void EntryLists::BitBtn7Click() {
    editEntry(tag::ListKind::Lyrics);
}
void EntryLists::BitBtn8Click() {
    removeEntry(tag::ListKind::Lyrics);
}
void EntryLists::BitBtn9Click() {
    addEntry(tag::ListKind::Comments);
}
void EntryLists::BitBtn10Click() {
    editEntry(tag::ListKind::Comments);
}
void EntryLists::BitBtn11Click() {
    removeEntry(tag::ListKind::Comments);
}
void EntryLists::BitBtn25Click() {
    addEntry(tag::ListKind::UserTexts);
}
void EntryLists::BitBtn26Click() {
    editEntry(tag::ListKind::UserTexts);
}
void EntryLists::BitBtn27Click() {
    removeEntry(tag::ListKind::UserTexts);
}
void EntryLists::BitBtn16Click() {
    addEntry(tag::ListKind::TermsOfUse);
}
void EntryLists::BitBtn17Click() {
    editEntry(tag::ListKind::TermsOfUse);
}
void EntryLists::BitBtn18Click() {
    removeEntry(tag::ListKind::TermsOfUse);
}
