// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/session.h"

#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/recovery.h"

#include <QItemSelectionModel>
#include <QTreeWidget>

Session::Session(UserDialogs& dialogs) : m_dialogs(dialogs) {}

Session::~Session() = default;

std::unique_ptr<journal::Recording> Session::record(journal::Kind kind) {
    if (!journal) return nullptr;
    return std::make_unique<journal::Recording>(*journal, kind);
}

QString Session::recoverJournal() {
    if (!journal) return {};
    try {
        const journal::Recovery r = journal::recover(*journal);
        std::string told = r.message();
        if (!r.warning.empty()) told += (told.empty() ? "" : "\n\n") + r.warning;
        return QString::fromStdString(told);
    } catch (const std::exception& e) {
        return QStringLiteral("The undo journal could not be recovered: ") +
               QString::fromStdString(e.what());
    }
}

void Session::reportSelections(QTreeWidget* view) {
    QObject::connect(
        view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
        [this, view](const QItemSelection& selected, const QItemSelection& deselected) {
            // A row reports itself whether it became selected or not; the
            // newly selected one reports last.
            if (!selected.indexes().isEmpty())
                listItemReported(view, selected.indexes().constFirst().row());
            else if (!deselected.indexes().isEmpty())
                listItemReported(view, deselected.indexes().constFirst().row());
        });
}

void Session::reportSelections(QTreeWidget* view, tag::ListKind list) {
    m_listModels[size_t(list)] = view->model();
    reportSelections(view);
}

void Session::listItemReported(const QTreeWidget* view, int row) {
    m_currentListItem = QPersistentModelIndex(view->model()->index(row, 0));
}

int Session::positionIn(const QAbstractItemModel* model) const {
    if (!model || !m_currentListItem.isValid() || m_currentListItem.model() != model) return 0;
    return m_currentListItem.row() + 1;
}

int Session::currentListItemPosition(const QTreeWidget* view) const {
    return positionIn(view->model());
}

int Session::currentListItemPosition(tag::ListKind list) const {
    return positionIn(m_listModels[size_t(list)]);
}

void Session::firstRowBecomesCurrent(const QTreeWidget* view) {
    m_currentListItem = view->topLevelItemCount() > 0
                            ? QPersistentModelIndex(view->model()->index(0, 0))
                            : QPersistentModelIndex();
}
