// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

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

void WindowFixture::open(const testing_support::Bytes& frames) {
    addFile("song.mp3", testing_support::tag24(frames) + testing_support::audio());
    edit(0);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
}

std::unique_ptr<ID3v24> WindowFixture::readBack(const std::string& path) const {
    auto tag = std::make_unique<ID3v24>();
    tag->FileName = path;
    tag->ReadTag(dir.path() + "check", false);
    return tag;
}

void WindowFixture::addPicture(const std::string& file, const QString& description,
                               int pictureType) {
    QTimer::singleShot(0, form3, [&] {
        type(form3->Edit1, description);
        form3->ComboBox1->setCurrentIndex(pictureType);
        dialogs.files.push_back(QString::fromStdString(file));
        form3->findChild<QAbstractButton*>("BitBtn1")->click();
        form3->BitBtn2->click();
        if (form3->isVisible()) form3->reject();
    });
    click("BitBtn12");
}

void WindowFixture::type(QWidget* w, const QString& text) {
    for (char32_t c : text.toUcs4())
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
}
