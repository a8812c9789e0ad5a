// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

// Never a move: a file manager deletes what it moved once the drop is taken,
// and the program only lists the files.
Qt::DropAction harmlessAction(const QDropEvent* drop) {
    if (drop->possibleActions() & Qt::CopyAction) return Qt::CopyAction;
    if (drop->possibleActions() & Qt::LinkAction) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

bool takes(const QDropEvent* drop) {
    return harmlessAction(drop) != Qt::IgnoreAction && !localPaths(drop->mimeData()).isEmpty();
}
} // namespace

FileDrop::FileDrop(QWidget* target) : QObject(target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!takes(drop)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(harmlessAction(drop));
    drop->accept();
    if (type == QEvent::Drop) emit dropped(localPaths(drop->mimeData()));
    return true;
}
