#include "windowfixture.h"

#include <QStackedWidget>

int WindowFixture::page() const {
    return widget<QStackedWidget>("PageControl2")->currentIndex();
}

std::string WindowFixture::addFile(const std::string& name, const testing_support::Bytes& bytes) {
    const std::string path = dir.file(name);
    testing_support::writeFile(path, bytes);
    selectionList()->append(QString::fromStdString(name), QString::fromStdString(dir.path()));
    return path;
}

QString WindowFixture::cell(int row, int column) const {
    const QAbstractItemModel* shown = selectionView()->model();
    return shown->index(row, column).data().toString();
}

void WindowFixture::edit(int row) {
    selectionList()->selectRow(row);
    tabs()->setCurrentIndex(TForm1::ZuRurTab);
    settle();
}
