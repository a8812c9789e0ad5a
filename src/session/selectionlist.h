// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>

// The selection list: the files that the editor's "Write for all", the
// renamer and the file actions work on, in the order the user gave them.
// Each row is a file name and its folder (ending with "/"), shown as the
// columns "No." (the row's 1-based position, renumbered after a removal),
// "File" and "Path"; the same file may stand in several rows. At most one
// row is selected: the selection is the model's own, so that the list view
// showing it and the code reading it agree.
class SelectionList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NumberColumn, FileColumn, PathColumn, ColumnCount };
    struct Row {
        QString file, folder;
    };

    explicit SelectionList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QString file(int row) const { return m_rows[row].file; }
    QString folder(int row) const { return m_rows[row].folder; }
    // The row's folder followed by its file name.
    QString path(int row) const { return folder(row) + file(row); }
    // The row's number as the "No." column shows it.
    static QString number(int row) { return QString::number(row + 1); }

    // A file that was renamed keeps its row.
    void setFile(int row, const QString& name);
    void append(const QList<Row>& rows);
    void append(const QString& file, const QString& folder) { append({{file, folder}}); }
    // Removes a row; the rows after it move up and are numbered anew.
    void remove(int row);
    void clear();

    // The selected row, -1 when none is; the list view shares the selection.
    QItemSelectionModel* selectionModel() { return &m_selection; }
    int selectedRow() const;
    void selectRow(int row);

private:
    QList<Row> m_rows;
    QItemSelectionModel m_selection;
};
