// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

// Lets a widget take files and folders dragged from a file manager: local
// paths only, in the order the drag lists them. Other drags are refused.
class FileDrop : public QObject {
    Q_OBJECT
public:
    // A view takes drops on its viewport: pass that.
    explicit FileDrop(QWidget* target);

signals:
    void dropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
