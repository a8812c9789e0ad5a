// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <initializer_list>
#include <utility>

class QTreeView;

// Gives a view the look and behaviour of a report: columns of the given
// widths, whole-row selection, one row at a time, read-only, column headers
// not clickable.
void makeReport(QTreeView* view, const QString& objectName, const QString& accessibleName,
                const QList<int>& widths);

// A report-style list view that holds its rows itself.
class ReportView : public QTreeWidget {
    Q_OBJECT
public:
    ReportView(const QString& objectName, const QString& accessibleName,
               const QList<std::pair<QString, int>>& columns, QWidget* parent = nullptr);

    void addRow(const QStringList& cells);
    // 0-based row of the selected item, -1 when none is selected.
    int selectedRow() const;
    void selectRow(int row);
};
