// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "windowfixture.h"

#include <QStackedWidget>

int WindowFixture::page() const {
    return widget<QStackedWidget>("PageControl2")->currentIndex();
}

std::string WindowFixture::addFile(const std::string& name, const testing_support::Bytes& bytes) {
    const std::string path = dir.file(name);
    testing_support::writeFile(path, bytes);
    form->selectionPage()->appendRow(QString::fromStdString(name),
                                     QString::fromStdString(dir.path()));
    return path;
}

void WindowFixture::edit(int row) {
    selectionList()->selectRow(row);
    tabs()->setCurrentIndex(TForm1::ZuRurTab);
    settle();
}
