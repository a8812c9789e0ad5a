// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Not a test: renders every page of the window into PNG files, to look at the
// layout as a user would. Run by hand:
//   gui_tests --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
// (QUILLET_SHOTS names the folder; /tmp/quillet-shots by default).
// '*DesktopLooks*' shows the window as a desktop may dress it: run it with
// QT_SCALE_FACTOR=2, or with QUILLET_SHOTS_PALETTE=dark for a dark Fusion palette.
#include "editor/picturepage.h"
#include "picturefiles.h"
#include "windowfixture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QStackedWidget>
#include <QStyle>
#include <filesystem>

using namespace testing_support;
using picture_files::apic;

namespace {

QPalette darkPalette();

class Screens : public WindowFixture {
protected:
    // The desktop's look is there before the window is made, as at program start.
    void SetUp() override {
        if (qEnvironmentVariable("QUILLET_SHOTS_PALETTE") == QLatin1String("dark")) {
            QApplication::setStyle(QStringLiteral("Fusion"));
            QApplication::setPalette(darkPalette());
        }
        WindowFixture::SetUp();
    }
    static QString folder() {
        const QString f = qEnvironmentVariableIsSet("QUILLET_SHOTS")
                              ? qEnvironmentVariable("QUILLET_SHOTS")
                              : QStringLiteral("/tmp/quillet-shots");
        QDir().mkpath(f);
        return f;
    }
};

QPalette darkPalette() {
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
    const QColor highlight(42, 130, 218), disabled(128, 128, 128);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, highlight);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

// A cover with lines and lettering fine enough to show a blurred preview.
Bytes cover() {
    QImage image(480, 480, QImage::Format_RGB32);
    image.fill(QColor(40, 70, 120));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(245, 194, 27), 1));
    for (int x = 20; x < 460; x += 6)
        painter.drawLine(x, 300, x + 20, 460);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 36, QFont::Bold));
    painter.drawText(QRect(0, 60, 480, 80), Qt::AlignCenter, QStringLiteral("Quillet"));
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    painter.drawText(QRect(0, 150, 480, 40), Qt::AlignCenter,
                     QStringLiteral("small print stays readable at any scale"));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(png.begin(), png.end());
}

TEST_F(Screens, DISABLED_DesktopLooks) {
    const std::string music = dir.path() + "Music/";
    std::filesystem::create_directories(music);
    const Bytes text{0};
    const char* titles[] = {"Intro", "Harbour Lights", "Night Train", "Outro"};
    for (int i = 0; i < 4; ++i) {
        const std::string number = std::to_string(i + 1);
        Bytes frames =
            frame24("TIT2", text + bytes(titles[i])) + frame24("TPE1", text + bytes("The Quills")) +
            frame24("TALB", text + bytes("Ink")) + frame24("TRCK", text + bytes(number)) +
            frame24("TDRC", text + bytes("2004-05-06")) + frame24("TCON", text + bytes("Jazz")) +
            frame24("APIC", apic("image/png", 3, "cover", cover()));
        writeFile(music + "0" + number + " - " + titles[i] + ".mp3", tag24(frames) + audio());
    }
    form->selectionPage()->openPaths({QString::fromStdString(music)});
    selectionList()->selectRow(0);
    form->grab().save(folder() + "/desktop-selection.png");
    edit(0);
    form->grab().save(folder() + "/desktop-editor.png");
    form->editorPage()->showSubPage(4);
    form->editorPage()->pictures()->ListView5->selectRow(0);
    form->grab().save(folder() + "/desktop-pictures.png");
}

TEST_F(Screens, DISABLED_Screenshots) {
    const QString folder = Screens::folder();
    Bytes text{0};
    Bytes frames =
        frame24("TIT2", text + bytes("Intro")) + frame24("TPE1", text + bytes("Artist")) +
        frame24("TALB", text + bytes("Album")) + frame24("TRCK", text + bytes("01/12")) +
        frame24("TDRC", text + bytes("2004-05-06")) + frame24("TLAN", text + bytes("eng")) +
        frame24("COMM", text + bytes("eng") + bytes("Intro") + Bytes{0} + bytes("Hello")) +
        frame24("USLT", text + bytes("eng") + Bytes{0} + bytes("La la la")) +
        frame24("TXXX", text + bytes("key") + Bytes{0} + bytes("value")) +
        frame24("WXXX", text + bytes("home") + Bytes{0} + bytes("http://example.org")) +
        frame24("USER", text + bytes("eng") + bytes("All rights reserved"));
    addFile("01 - Intro.mp3", tag24(frames) + audio());
    addFile("02 - Second.mp3", tag24(frames) + audio());
    form->grab().save(folder + "/page0-selection.png");
    edit(0);
    auto* sub = widget<QStackedWidget>("PageControl3");
    for (int i = 0; i < sub->count(); ++i) {
        sub->setCurrentIndex(i);
        form->grab().save(folder + QStringLiteral("/editor-%1.png").arg(i));
    }
    click("ToolButton8");
    form->grab().save(folder + "/page2-renamer.png");
    click("Image1");
    form->grab().save(folder + "/page3-about.png");
}

} // namespace
