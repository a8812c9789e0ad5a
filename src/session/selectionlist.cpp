// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/selectionlist.h"

SelectionList::SelectionList(QObject* parent) : QAbstractTableModel(parent), m_selection(this) {}

int SelectionList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SelectionList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SelectionList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    switch (index.column()) {
    case NumberColumn:
        return number(index.row());
    case FileColumn:
        return file(index.row());
    case PathColumn:
        return folder(index.row());
    }
    return {};
}

QVariant SelectionList::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString Headers[ColumnCount] = {QStringLiteral("No."), QStringLiteral("File"),
                                                 QStringLiteral("Path")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return Headers[section];
}

void SelectionList::setFile(int row, const QString& name) {
    m_rows[row].file = name;
    const QModelIndex cell = index(row, FileColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void SelectionList::append(const QList<Row>& rows) {
    if (rows.isEmpty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows += rows;
    endInsertRows();
}

void SelectionList::remove(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    if (row < rowCount())
        emit dataChanged(index(row, NumberColumn), index(rowCount() - 1, NumberColumn),
                         {Qt::DisplayRole});
}

void SelectionList::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int SelectionList::selectedRow() const {
    const QModelIndexList cells = m_selection.selectedIndexes();
    return cells.isEmpty() ? -1 : cells.constFirst().row();
}

void SelectionList::selectRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    m_selection.setCurrentIndex(index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
