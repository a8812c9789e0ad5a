// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/reportview.h"

#include <QAccessible>
#include <QHeaderView>
#include <QTimer>
#include <algorithm>
#include <memory>

void keepAccessibleRowsConsistent(QAbstractItemView* view) {
    auto recount = [view] {
        if (!QAccessible::isActive()) return;
        QAccessibleTableModelChangeEvent event(view, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    };
    QAbstractItemModel* model = view->model();
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, view, recount);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, view, recount);
    QObject::connect(model, &QAbstractItemModel::layoutAboutToBeChanged, view, recount);
}

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
    keepAccessibleRowsConsistent(view);
    // Each column as wide as its widest cell, never narrower than designed;
    // once for all the rows a rebuild adds.
    auto pending = std::make_shared<bool>(false);
    auto fit = [view, widths, pending] {
        *pending = false;
        for (int c = 0; c < int(widths.size()); ++c)
            if (!view->isColumnHidden(c))
                view->setColumnWidth(
                    c, std::max(widths[c],
                                static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c)));
    };
    auto later = [view, pending, fit] {
        if (*pending) return;
        *pending = true;
        QTimer::singleShot(0, view, fit);
    };
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, view, later);
    QObject::connect(view->model(), &QAbstractItemModel::dataChanged, view, later);
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
