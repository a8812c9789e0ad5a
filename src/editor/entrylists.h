// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <QObject>
#include <QStringList>
#include <array>

class QWidget;
class ReportView;
class Session;
class TForm2;

// The cells of row k of a list view that shows one of the tag's lists: the
// number k, then the entry's description, language name and text (for a
// picture: description, MIME type and picture type), each up to its zero.
QStringList entryRow(const tag::TagData& tag, tag::ListKind list, int k);

// The five text entry lists of the editor (user URLs, lyrics, comments, user
// texts, terms of use): report views that mirror the session's tag model and
// are rebuilt from it after every change, each with its Add, Edit and Remove
// buttons. Add and Edit open the entry dialog.
class EntryLists : public QObject {
    Q_OBJECT
public:
    EntryLists(Session& session, QWidget* parent);

    ReportView* ListView2; // user defined URLs
    ReportView* ListView3; // lyrics
    ReportView* ListView4; // comments
    ReportView* ListView7; // user defined texts
    ReportView* ListView6; // terms of use

    // The dialog that Add and Edit show (none: they show nothing).
    void setEntryDialog(TForm2* dialog) { m_dialog = dialog; }

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

    ReportView* view(tag::ListKind list) const;
    // Empties the list's view and fills it again from the model.
    void rebuild(tag::ListKind list);

    // What the buttons do, for any list.
    void addEntry(tag::ListKind list);
    void editEntry(tag::ListKind list);
    void removeEntry(tag::ListKind list);

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
    struct ListInfo;
    static const std::array<ListInfo, 5> Lists;
    static const ListInfo& info(tag::ListKind list);

    QWidget* makePanel(const ListInfo& info, QWidget* parent);
    void appendRows(tag::ListKind list);

    Session& m_session;
    TForm2* m_dialog = nullptr;
};
