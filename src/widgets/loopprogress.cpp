#include "widgets/loopprogress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <cmath>

int progressPosition(int i, int n) {
    // A float's 24 bits times i below 2^29 fit a double's 53: the product is
    // exact, and only the rounding to an integer decides.
    const float step = 100.0f / float(n);
    return int(std::nearbyint(double(i) * double(step)));
}

void showProgress(QProgressBar* bar, QLabel* label, int done, int total) {
    bar->setValue(total > 0 ? progressPosition(done, total) : 0);
    label->setText(QString::number(done) + QStringLiteral(" of ") + QString::number(total));
}

void refreshform() {
    QCoreApplication::processEvents();
}
