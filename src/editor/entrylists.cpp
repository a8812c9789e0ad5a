#include "entrylists.h"

#include "dialogs/addlang.h"
#include "languages/languages.h"
#include "latin1.h"
#include "reportview.h"
#include "tagprog1.h"
#include "userdialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

QString languageName(const std::string& code) {
    return shownText(languages::LanguageName(code));
}

// A row shows each text on one line: multi-line lyrics and comments would
// otherwise make rows as tall as the text. The whole text is in the cell's tooltip.
void addEntryRow(ReportView* view, QStringList cells) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList full;
    for (QString& cell : cells) {
        full << cell;
        if (cell.contains(lineBreak))
            cell = cell.split(lineBreak, Qt::SkipEmptyParts).join(QStringLiteral(" / "));
    }
    view->addRow(cells);
    QTreeWidgetItem* row = view->topLevelItem(view->topLevelItemCount() - 1);
    for (int i = 0; i < full.size(); ++i)
        if (full[i] != cells[i]) row->setToolTip(i, full[i]);
}

const QString WarningCaption = QStringLiteral("Warning!");
const QString ListFullMessage =
    QStringLiteral("This list is full: a tag holds at most 100 entries of a kind.");

} // namespace

// EntryDialogMode lists the kinds in EntryKind order, Add before Edit.
static_assert(int(EntryDialogMode::AddLyric) == 0 && int(EntryDialogMode::EditLyric) == 1 &&
              int(EntryDialogMode::AddComment) == 2 && int(EntryDialogMode::AddUserText) == 4 &&
              int(EntryDialogMode::AddUserUrl) == 6 && int(EntryDialogMode::AddTermsOfUse) == 8 &&
              int(EntryDialogMode::EditTermsOfUse) == 9);

EntryKind entryKind(EntryDialogMode mode) {
    return EntryKind(int(mode) / 2);
}
bool isEditMode(EntryDialogMode mode) {
    return int(mode) % 2 == 1;
}
EntryDialogMode addMode(EntryKind kind) {
    return EntryDialogMode(int(kind) * 2);
}
EntryDialogMode editMode(EntryKind kind) {
    return EntryDialogMode(int(kind) * 2 + 1);
}
bool hasLanguage(EntryKind kind) {
    return kind == EntryKind::Lyric || kind == EntryKind::Comment || kind == EntryKind::TermsOfUse;
}
bool hasDescription(EntryKind kind) {
    return kind != EntryKind::TermsOfUse;
}

// One row per list: its label, its buttons and their handlers, the warning of
// its Edit button, and the model operations it rebuilds and removes with.
struct EntryLists::ListSpec {
    EntryKind kind;
    const char* label;
    const char* noun; // names the buttons for assistive technology
    std::array<const char*, 3> buttons;
    std::array<void (EntryLists::*)(), 3> handlers;
    const char* editWarning;
    void (EntryLists::*rebuildOp)();
    void (ID3v24::*deleteOp)(int);
};

const std::array<EntryLists::ListSpec, EntryKindCount> EntryLists::Specs{{
    {EntryKind::Lyric,
     "Texts/Lyrics:",
     "lyric",
     {"BitBtn6", "BitBtn7", "BitBtn8"},
     {&EntryLists::BitBtn6Click, &EntryLists::BitBtn7Click, &EntryLists::BitBtn8Click},
     "You have not chosen any lyric to edit!",
     &EntryLists::readUSLT,
     &ID3v24::DeleteLyric},
    {EntryKind::Comment,
     "Comments:",
     "comment",
     {"BitBtn9", "BitBtn10", "BitBtn11"},
     {&EntryLists::BitBtn9Click, &EntryLists::BitBtn10Click, &EntryLists::BitBtn11Click},
     "You have not chosen any comment to edit!",
     &EntryLists::readcomments,
     &ID3v24::DeleteComment},
    {EntryKind::UserText,
     "User Defined Text:",
     "user defined text",
     {"BitBtn25", "BitBtn26", "BitBtn27"},
     {&EntryLists::BitBtn25Click, &EntryLists::BitBtn26Click, &EntryLists::BitBtn27Click},
     "You have not chosen any text to edit!",
     &EntryLists::readuserText,
     &ID3v24::DeleteUserText},
    {EntryKind::UserUrl,
     "User Defined URLs:",
     "user defined URL",
     {"BitBtn3", "BitBtn4", "BitBtn5"},
     {&EntryLists::BitBtn3Click, &EntryLists::BitBtn4Click, &EntryLists::BitBtn5Click},
     "You have not chosen any URL to edit!",
     &EntryLists::readuserurl,
     &ID3v24::DeleteUserUrl},
    {EntryKind::TermsOfUse,
     "Terms of Use:",
     "terms of use",
     {"BitBtn16", "BitBtn17", "BitBtn18"},
     {&EntryLists::BitBtn16Click, &EntryLists::BitBtn17Click, &EntryLists::BitBtn18Click},
     "You have not chosen any term to edit!",
     &EntryLists::readUSER,
     &ID3v24::DeleteTermsOfUse},
}};

EntryLists::EntryLists(TForm1& form, QWidget* parent) : QObject(parent), m_form(form) {
    const QString no = QStringLiteral("No.");
    ListView2 = new ReportView(
        QStringLiteral("ListView2"), QStringLiteral("User Defined URLs"),
        {{no, 30}, {QStringLiteral("Description"), 250}, {QStringLiteral("Url"), 250}});
    ListView3 = new ReportView(QStringLiteral("ListView3"), QStringLiteral("Texts/Lyrics"),
                               {{no, 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Language"), 100},
                                {QStringLiteral("Lyric"), 200}});
    ListView4 = new ReportView(QStringLiteral("ListView4"), QStringLiteral("Comments"),
                               {{no, 30},
                                {QStringLiteral("Description"), 200},
                                {QStringLiteral("Language"), 100},
                                {QStringLiteral("Comment"), 200}});
    ListView7 = new ReportView(
        QStringLiteral("ListView7"), QStringLiteral("User Defined Text"),
        {{no, 30}, {QStringLiteral("Description"), 200}, {QStringLiteral("Text"), 300}});
    ListView6 = new ReportView(
        QStringLiteral("ListView6"), QStringLiteral("Terms of Use"),
        {{no, 30}, {QStringLiteral("Language"), 100}, {QStringLiteral("Terms of Use"), 400}});
    m_views = {ListView3, ListView4, ListView7, ListView2, ListView6};
    for (const ListSpec& spec : Specs)
        makePanel(spec, parent);
    for (ReportView* view : m_views)
        m_form.reportSelections(view);
}

QWidget* EntryLists::makePanel(const ListSpec& spec, QWidget* parent) {
    ReportView* list = view(spec.kind);
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* caption = new QLabel(QString::fromLatin1(spec.label), panel);
    caption->setBuddy(list);
    list->setParent(panel);
    layout->addWidget(caption);
    layout->addWidget(list, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 2, 0, 0);
    static constexpr std::array<const char*, 3> Captions{"Add", "Edit", "Remove"};
    for (size_t i = 0; i < 3; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(Captions[i]), panel);
        button->setObjectName(QString::fromLatin1(spec.buttons[i]));
        // Three lists share sub-page 3: "Add" alone would not say which one.
        button->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromLatin1(Captions[i]),
                                                              QString::fromLatin1(spec.noun)));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, spec.handlers[i]);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return panel;
}

QWidget* EntryLists::panel(ReportView* view) const {
    return view->parentWidget();
}

ReportView* EntryLists::view(EntryKind kind) const {
    return m_views[size_t(kind)];
}

int EntryLists::count(EntryKind kind) const {
    const ID3v24& tag = m_form.ID3v241;
    switch (kind) {
    case EntryKind::Lyric:
        return tag.Lyrics().count();
    case EntryKind::Comment:
        return tag.Comments().count();
    case EntryKind::UserText:
        return tag.UserTexts().count();
    case EntryKind::UserUrl:
        return tag.UserUrls().count();
    case EntryKind::TermsOfUse:
        return tag.TermsOfUse().count();
    }
    return 0;
}

void EntryLists::rebuild(EntryKind kind) {
    view(kind)->clear();
    (this->*Specs[size_t(kind)].rebuildOp)();
}

// --- The buttons ---------------------------------------------------------------

void EntryLists::showEntryDialog() {
    if (m_form.Form2) m_form.Form2->exec();
}

void EntryLists::addEntry(EntryKind kind) {
    // The dialog stores a new entry at count + 1; a full list has no place for it.
    if (count(kind) >= tag::MaxEntries) {
        m_form.dialogs().message(view(kind), ListFullMessage, WarningCaption,
                                 UserDialogs::Icon::Warning);
        return;
    }
    m_form.request.entryDialogMode = addMode(kind);
    showEntryDialog();
}

void EntryLists::editEntry(EntryKind kind) {
    m_form.request.EntryIndex = m_form.currentListItemPosition(view(kind));
    if (m_form.request.EntryIndex == 0) {
        m_form.dialogs().message(view(kind), QString::fromLatin1(Specs[size_t(kind)].editWarning),
                                 WarningCaption, UserDialogs::Icon::Warning);
        return;
    }
    m_form.request.entryDialogMode = editMode(kind);
    showEntryDialog();
}

void EntryLists::removeEntry(EntryKind kind) {
    ReportView* list = view(kind);
    if (list->selectedRow() < 0) return;
    // Position 0 (the current list item is a row of another list) removes nothing.
    (m_form.ID3v241.*Specs[size_t(kind)].deleteOp)(m_form.currentListItemPosition(list));
    rebuild(kind);
}

void EntryLists::BitBtn3Click() {
    addEntry(EntryKind::UserUrl);
}
void EntryLists::BitBtn4Click() {
    editEntry(EntryKind::UserUrl);
}
void EntryLists::BitBtn5Click() {
    removeEntry(EntryKind::UserUrl);
}
void EntryLists::BitBtn6Click() {
    addEntry(EntryKind::Lyric);
}
void EntryLists::BitBtn7Click() {
    editEntry(EntryKind::Lyric);
}
void EntryLists::BitBtn8Click() {
    removeEntry(EntryKind::Lyric);
}
void EntryLists::BitBtn9Click() {
    addEntry(EntryKind::Comment);
}
void EntryLists::BitBtn10Click() {
    editEntry(EntryKind::Comment);
}
void EntryLists::BitBtn11Click() {
    removeEntry(EntryKind::Comment);
}
void EntryLists::BitBtn25Click() {
    addEntry(EntryKind::UserText);
}
void EntryLists::BitBtn26Click() {
    editEntry(EntryKind::UserText);
}
void EntryLists::BitBtn27Click() {
    removeEntry(EntryKind::UserText);
}
void EntryLists::BitBtn16Click() {
    addEntry(EntryKind::TermsOfUse);
}
void EntryLists::BitBtn17Click() {
    editEntry(EntryKind::TermsOfUse);
}
void EntryLists::BitBtn18Click() {
    removeEntry(EntryKind::TermsOfUse);
}

// --- Rebuild operations --------------------------------------------------------

void EntryLists::readuserurl() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.UserUrls())
        addEntryRow(ListView2, {QString::number(++k), shownText(e.description), shownText(e.url)});
}

void EntryLists::readUSLT() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.Lyrics())
        addEntryRow(ListView3, {QString::number(++k), shownText(e.description),
                                languageName(e.language), shownText(e.text)});
}

void EntryLists::readcomments() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.Comments())
        addEntryRow(ListView4, {QString::number(++k), shownText(e.description),
                                languageName(e.language), shownText(e.text)});
}

void EntryLists::readuserText() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.UserTexts())
        addEntryRow(ListView7,
                    {QString::number(++k), shownText(e.description), shownText(e.value)});
}

void EntryLists::readUSER() {
    int k = 0;
    for (const auto& e : m_form.ID3v241.TermsOfUse())
        addEntryRow(ListView6, {QString::number(++k), languageName(e.language), shownText(e.text)});
}

void EntryLists::clearAll() {
    for (ReportView* view : m_views)
        view->clear();
}
