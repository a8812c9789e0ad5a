#include "widgets/loopprogress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <cmath>

int progressPosition(int i, int n) {
    const float step = 100.0f / float(n);
    return int(std::nearbyint(float(i) * step));
}

void showProgress(QProgressBar* bar, QLabel* label, int done, int total) {
    bar->setValue(total > 0 ? progressPosition(done, total) : 0);
    label->setText(QString::number(done) + QStringLiteral(" of ") + QString::number(total));
}

void refreshform() {
    QCoreApplication::processEvents();
}
