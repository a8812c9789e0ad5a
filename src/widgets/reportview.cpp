// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/reportview.h"

#include <QHeaderView>

ReportView::ReportView(const QString& objectName, const QString& accessibleName,
                       const QList<std::pair<QString, int>>& columns, QWidget* parent)
    : QTreeWidget(parent) {
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    QStringList labels;
    for (const auto& c : columns)
        labels << c.first;
    setHeaderLabels(labels);
    int i = 0;
    for (const auto& c : columns)
        setColumnWidth(i++, c.second);
}

void ReportView::addRow(const QStringList& cells) {
    addTopLevelItem(new QTreeWidgetItem(cells));
}

int ReportView::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.constFirst());
}

void ReportView::selectRow(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
}
