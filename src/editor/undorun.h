// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class Session;

// The Undo tool button's run: the newest write, kill or rename run of the
// undo journal undone file by file, newest first, after one question. The
// widget is its progress (a bar, "i of n" and a Stop button), shown while it
// runs; the window locks what writes meanwhile, as for its other runs.
class UndoRun : public QWidget {
    Q_OBJECT
public:
    UndoRun(Session& session, QWidget* parent);

    QProgressBar* ProgressBar = nullptr;
    QLabel* Counter = nullptr;
    QPushButton* StopButton = nullptr;

    // Asks, undoes, and then lists the files it left alone, if any. Nothing
    // while another run goes on.
    void start();

signals:
    // The run has ended (also when stopped): the file view is to be read again.
    void finished();

private:
    Session& m_session;
};
