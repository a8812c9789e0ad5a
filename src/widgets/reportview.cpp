// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/reportview.h"

#include <QHeaderView>

void makeReport(QTreeView* view, const QString& objectName, const QString& accessibleName,
                const QList<int>& widths) {
    view->setObjectName(objectName);
    view->setAccessibleName(accessibleName);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);
    view->setAllColumnsShowFocus(true);
    view->header()->setSectionsClickable(false);
    view->header()->setSectionsMovable(false);
    view->header()->setStretchLastSection(false);
    int i = 0;
    for (int width : widths)
        view->setColumnWidth(i++, width);
}

ReportView::ReportView(const QString& objectName, const QString& accessibleName,
                       const QList<std::pair<QString, int>>& columns, QWidget* parent)
    : QTreeWidget(parent) {
    QStringList labels;
    QList<int> widths;
    for (const auto& c : columns) {
        labels << c.first;
        widths << c.second;
    }
    setHeaderLabels(labels);
    makeReport(this, objectName, accessibleName, widths);
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
