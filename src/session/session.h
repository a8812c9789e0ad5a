// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "id3v1/id3.h"
#include "session/looprun.h"
#include "session/selectionlist.h"
#include "tagengine/zurur24.h"

#include <QPersistentModelIndex>
#include <QString>
#include <array>
#include <memory>

class QAbstractItemModel;
class QAbstractItemView;
class UserDialogs;

namespace journal {
class Journal;
class Recording;
enum class Kind : uint8_t;
} // namespace journal

// What the window's pages and dialogs share for the whole program run: the
// one tag component and the one ID3v1.1 component (there is no other copy of
// a tag), the selection list, the picture folder, the current list item, the
// undo journal and the run over the selection list going on. The main window
// owns it; pages and dialogs are handed it.
class Session {
public:
    explicit Session(UserDialogs& dialogs);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ID3v24 ID3v241;
    Id3v1 Id3v11;
    SelectionList selection; // the files the runs and the file actions work on
    QString TempFolder;      // where pictures read from tags are stored
    LoopRun run;             // the run over the selection list going on, if any
    // The undo journal that every write, kill and rename run goes to before
    // it changes a file; none records nothing.
    std::unique_ptr<journal::Journal> journal;

    // A new action in the journal, begun before any file is touched (an
    // action that cannot begin raises, and nothing is written); none without
    // a journal.
    std::unique_ptr<journal::Recording> record(journal::Kind kind);
    // At start: finishes the journal's actions that a crash cut short; what
    // to tell the user about it, "" when nothing.
    QString recoverJournal();

    // Message boxes, questions and file dialogs.
    UserDialogs& dialogs() const { return m_dialogs; }

    // The current list item: the row that any list view of the window last
    // reported as selected or deselected. A view reports once this is called
    // for it; the view of one of the tag's lists says which.
    void reportSelections(QAbstractItemView* view);
    void reportSelections(QAbstractItemView* view, tag::ListKind list);
    void listItemReported(const QAbstractItemModel* model, int row);
    // Its 1-based position within the rows of model, or of the view of list;
    // 0 when it is not one of those rows.
    int currentListItemPosition(const QAbstractItemModel* model) const;
    int currentListItemPosition(const QAbstractItemView* view) const;
    int currentListItemPosition(tag::ListKind list) const;
    // Makes the first row of model the current list item (none when it is empty).
    void firstRowBecomesCurrent(const QAbstractItemModel* model);

private:
    UserDialogs& m_dialogs;
    QPersistentModelIndex m_currentListItem;
    std::array<const QAbstractItemModel*, tag::ListKindCount> m_listModels{};
};
