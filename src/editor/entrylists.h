#pragma once

#include "dialogrequest.h"

#include <QObject>
#include <array>

class QWidget;
class ReportView;
class TForm1;

// The five kinds of text entry the editor lists and the entry dialog handle, in
// the order of their Add/Edit pairs in EntryDialogMode.
enum class EntryKind { Lyric, Comment, UserText, UserUrl, TermsOfUse };
inline constexpr int EntryKindCount = 5;

EntryKind entryKind(EntryDialogMode mode);
bool isEditMode(EntryDialogMode mode);
EntryDialogMode addMode(EntryKind kind);
EntryDialogMode editMode(EntryKind kind);
// Lyrics, comments and terms of use carry a language; all but terms of use a description.
bool hasLanguage(EntryKind kind);
bool hasDescription(EntryKind kind);

// The five entry lists of the editor (user URLs, lyrics, comments, user texts,
// terms of use): report views that mirror the tag model's lists and are
// rebuilt from the model after every change, each with its Add, Edit and
// Remove buttons.
class EntryLists : public QObject {
    Q_OBJECT
public:
    EntryLists(TForm1& form, QWidget* parent);

    ReportView* ListView2; // user defined URLs
    ReportView* ListView3; // lyrics
    ReportView* ListView4; // comments
    ReportView* ListView7; // user defined texts
    ReportView* ListView6; // terms of use

    // Each list view with its label above it and its buttons below, ready to be
    // placed on a sub-page.
    QWidget* panel(ReportView* view) const;

    // Rebuild operations: append rows 1..count of the model list (the caller
    // empties the list view first).
    void readuserurl();
    void readUSLT();
    void readcomments();
    void readuserText();
    void readUSER();
    void clearAll();

    ReportView* view(EntryKind kind) const;
    // The number of entries the model holds in that list.
    int count(EntryKind kind) const;
    // Empties the kind's list view and fills it again from the model.
    void rebuild(EntryKind kind);

    // What the buttons do, for any list.
    void addEntry(EntryKind kind);
    void editEntry(EntryKind kind);
    void removeEntry(EntryKind kind);

public slots:
    void BitBtn3Click(); // user URLs: Add, Edit, Remove
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click(); // lyrics
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click(); // comments
    void BitBtn10Click();
    void BitBtn11Click();
    void BitBtn25Click(); // user texts
    void BitBtn26Click();
    void BitBtn27Click();
    void BitBtn16Click(); // terms of use
    void BitBtn17Click();
    void BitBtn18Click();

private:
    struct ListSpec;
    static const std::array<ListSpec, EntryKindCount> Specs;

    QWidget* makePanel(const ListSpec& spec, QWidget* parent);
    void showEntryDialog();

    TForm1& m_form;
    std::array<ReportView*, EntryKindCount> m_views{};
};
