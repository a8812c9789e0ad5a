// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QString;
class QWidget;

// The progress bar (0 to 100) and the "i of n" label of a loop over the
// selection list.

// The position after file i of n: i * step, with step = 100 / n held in
// single precision and the product taken in double, rounded to the nearest
// integer, halves to even. (A product in single precision rounds 9 of 24,
// just below 37.5, up to 37.5 and shows 38.)
int progressPosition(int i, int n);
// Shows file done of total ("0 of 0" and an empty bar before a loop).
void showProgress(QProgressBar* bar, QLabel* label, int done, int total);
// Gives the "i of n" label a fixed size, room for any count of files: a new
// text then costs no new layout of its page (whose word-wrapped texts are
// costly to lay out) many times a second.
void fixCounterSize(QLabel* label);
// A loop's bar (0 to 100) and its "0 of 0" label of fixed size, named for
// the tests and the accessibility layer.
QProgressBar* makeLoopBar(QWidget* parent, const QString& objectName,
                          const QString& accessibleName);
QLabel* makeLoopCounter(QWidget* parent, const QString& objectName);
// Lets pending window events (painting, input) run, so that the window stays
// live between two files of a loop.
void refreshform();

// The progress of a loop over the selection list, after each file. It lets
// pending events run after the first file, and then once the interval has
// passed since they last ran; in between the bar takes its steps without
// painting them (a progress bar repaints itself at once on every visible
// step). The window repaints and takes input about fifty times a second,
// and a run of small files costs what the files cost.
class LoopProgress {
public:
    static constexpr qint64 IntervalMs = 20;
    LoopProgress(QProgressBar* bar, QLabel* label);
    ~LoopProgress();
    LoopProgress(const LoopProgress&) = delete;
    LoopProgress& operator=(const LoopProgress&) = delete;

    // File done of total is done: shown, and the window refreshed when due.
    // The label shows the last file done at each refresh and when the loop
    // ends, however it ends.
    void fileDone(int done, int total);

private:
    void paintable(bool on);

    QProgressBar* m_bar;
    QLabel* m_label;
    QElapsedTimer m_sinceRefresh;
    int m_done = 0, m_total = 0;
};
