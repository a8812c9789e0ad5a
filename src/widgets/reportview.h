// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <initializer_list>
#include <utility>

class QAbstractItemView;
class QTreeView;

// Has assistive technology count the view's rows anew before rows of its
// model go or the model is laid out again. Qt's own notice comes after the
// change, and names rows by their place under their parent: the cells the
// accessibility layer handed out before would then name rows that are gone.
// Called again for each new model the view is given.
void keepAccessibleRowsConsistent(QAbstractItemView* view);

// Gives a view the look and behaviour of a report: columns of the given
// widths, whole-row selection, one row at a time, read-only, column headers
// not clickable; its rows consistent for assistive technology.
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
