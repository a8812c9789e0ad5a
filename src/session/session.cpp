// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/session.h"

#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/recovery.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

Session::Session(UserDialogs& dialogs) : m_dialogs(dialogs) {
    // The pictures a read extracts for the picture page are written back
    // from the bytes read, not read again from those files.
    ID3v241.HoldPictures = true;
}

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

void Session::reportSelections(QAbstractItemView* view) {
    const QAbstractItemModel* model = view->model();
    QObject::connect(
        view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
        [this, model](const QItemSelection& selected, const QItemSelection& deselected) {
            // A row reports itself whether it became selected or not; the
            // newly selected one reports last.
            if (!selected.indexes().isEmpty())
                listItemReported(model, selected.indexes().constFirst().row());
            else if (!deselected.indexes().isEmpty())
                listItemReported(model, deselected.indexes().constFirst().row());
        });
}

void Session::reportSelections(QAbstractItemView* view, tag::ListKind list) {
    m_listModels[size_t(list)] = view->model();
    reportSelections(view);
}

void Session::listItemReported(const QAbstractItemModel* model, int row) {
    m_currentListItem = QPersistentModelIndex(model->index(row, 0));
}

int Session::currentListItemPosition(const QAbstractItemModel* model) const {
    if (!model || !m_currentListItem.isValid() || m_currentListItem.model() != model) return 0;
    return m_currentListItem.row() + 1;
}

int Session::currentListItemPosition(const QAbstractItemView* view) const {
    return currentListItemPosition(view->model());
}

int Session::currentListItemPosition(tag::ListKind list) const {
    return currentListItemPosition(m_listModels[size_t(list)]);
}

void Session::firstRowBecomesCurrent(const QAbstractItemModel* model) {
    m_currentListItem =
        model->rowCount() > 0 ? QPersistentModelIndex(model->index(0, 0)) : QPersistentModelIndex();
}
