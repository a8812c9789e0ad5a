// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/loopprogress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

int progressPosition(int i, int n) {
    // A float's 24 bits times i below 2^29 fit a double's 53: the product is
    // exact, and only the rounding to an integer decides.
    const float step = 100.0f / float(n);
    return int(std::nearbyint(double(i) * double(step)));
}

namespace {
QString doneOfTotal(int done, int total) {
    return QString::number(done) + QStringLiteral(" of ") + QString::number(total);
}
} // namespace

void showProgress(QProgressBar* bar, QLabel* label, int done, int total) {
    bar->setValue(total > 0 ? progressPosition(done, total) : 0);
    label->setText(doneOfTotal(done, total));
}

void fixCounterSize(QLabel* label) {
    const QString widest = QStringLiteral("0000000 of 0000000");
    const int width = label->fontMetrics().horizontalAdvance(widest) + 2 * label->margin();
    label->setFixedSize(std::max(width, label->minimumWidth()), label->sizeHint().height());
}

QProgressBar* makeLoopBar(QWidget* parent, const QString& objectName,
                          const QString& accessibleName) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(objectName);
    bar->setAccessibleName(accessibleName);
    bar->setRange(0, 100);
    return bar;
}

QLabel* makeLoopCounter(QWidget* parent, const QString& objectName) {
    auto* label = new QLabel(QStringLiteral("0 of 0"), parent);
    label->setObjectName(objectName);
    fixCounterSize(label);
    return label;
}

void refreshform() {
    QCoreApplication::processEvents();
}

LoopProgress::LoopProgress(QProgressBar* bar, QLabel* label) : m_bar(bar), m_label(label) {
    paintable(false);
}

LoopProgress::~LoopProgress() {
    if (m_total > 0) m_label->setText(doneOfTotal(m_done, m_total));
    paintable(true);
}

void LoopProgress::paintable(bool on) {
    m_bar->setUpdatesEnabled(on);
    m_label->setUpdatesEnabled(on);
}

void LoopProgress::fileDone(int done, int total) {
    m_done = done;
    m_total = total;
    // The bar takes every step it makes; a label's new text costs a layout,
    // so it is set when it can be seen.
    const int position = progressPosition(done, total);
    if (position != m_bar->value()) m_bar->setValue(position);
    if (m_sinceRefresh.isValid() && m_sinceRefresh.elapsed() < IntervalMs) return;
    m_label->setText(doneOfTotal(done, total));
    paintable(true);
    refreshform();
    paintable(false);
    m_sinceRefresh.start();
}
