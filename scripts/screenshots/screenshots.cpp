// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
//
// Renders the window's pages into PNG files, offscreen, to look at the layout
// as a user would. Run by scripts/screenshots.sh:
//
//   quillet-screenshots FOLDER [--desktop-only] [--dark]
//
// Every page and editor sub-page of a file with one entry in each list, then
// a small album with its cover (desktop-*.png: the selection list, the
// editor, its pictures, the renamer with a template and the list it renamed);
// --desktop-only takes only the album, --dark dresses the window in a dark
// Fusion palette. The scale factor comes from QT_SCALE_FACTOR, as a desktop
// sets it.
#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/editorpage.h"
#include "editor/picturepage.h"
#include "editor/renamerpage.h"
#include "editor/selectionpage.h"
#include "editor/tagprog1.h"
#include "fakedialogs.h"
#include "services/programfolder.h"
#include "support/testfiles.h"
#include "widgets/reportview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

using namespace testing_support;

namespace {

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

// An APIC frame body: encoding 0, MIME type, type byte, description, data.
Bytes apic(const std::string& mime, uint8_t type, const std::string& description,
           const Bytes& data) {
    return Bytes{0} + bytes(mime) + Bytes{0, type} + bytes(description) + Bytes{0} + data;
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

// The window as the program starts it, in a program folder of its own.
class Window {
public:
    Window() : form(dialogs), form2(form.session(), &form), form3(form.session(), &form) {
        form.setDialogs(&form2, &form3);
        form.show();
        settle(300);
    }
    // Lets the window lay itself out and paint, and what handlers left for
    // after they returned run.
    static void settle(int ms = 50) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    void click(const char* name) {
        form.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
        settle();
    }
    void edit(int row) {
        form.session().selection.selectRow(row);
        form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
            ->setCurrentIndex(TForm1::ZuRurTab);
        settle();
    }
    void shoot(const QString& file) {
        settle();
        if (!form.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        for (const FakeDialogs::Message& box : dialogs.messages)
            std::fprintf(stderr, "message: %s\n", qPrintable(box.text));
        dialogs.messages.clear();
    }

    FakeDialogs dialogs; // answers No; a box would mean the window met an error
    TForm1 form;
    TForm2 form2;
    TForm3 form3;
};

void pages(const QString& out, const std::string& music) {
    const Bytes text{0};
    const Bytes frames =
        frame24("TIT2", text + bytes("Intro")) + frame24("TPE1", text + bytes("Artist")) +
        frame24("TALB", text + bytes("Album")) + frame24("TRCK", text + bytes("01/12")) +
        frame24("TDRC", text + bytes("2004-05-06")) + frame24("TLAN", text + bytes("eng")) +
        frame24("COMM", text + bytes("eng") + bytes("Intro") + Bytes{0} + bytes("Hello")) +
        frame24("USLT", text + bytes("eng") + Bytes{0} + bytes("La la la")) +
        frame24("TXXX", text + bytes("key") + Bytes{0} + bytes("value")) +
        frame24("WXXX", text + bytes("home") + Bytes{0} + bytes("http://example.org")) +
        frame24("USER", text + bytes("eng") + bytes("All rights reserved"));
    Window w;
    for (const char* name : {"01 - Intro.mp3", "02 - Second.mp3"}) {
        writeFile(music + name, tag24(frames) + audio());
        w.form.session().selection.append(QString::fromLatin1(name), QString::fromStdString(music));
    }
    w.shoot(out + "/page0-selection.png");
    w.edit(0);
    auto* sub = w.form.findChild<QStackedWidget*>(QStringLiteral("PageControl3"));
    for (int i = 0; i < sub->count(); ++i) {
        sub->setCurrentIndex(i);
        w.shoot(out + QStringLiteral("/editor-%1.png").arg(i));
    }
    w.click("ToolButton8");
    w.shoot(out + "/page2-renamer.png");
    w.click("Image1");
    w.shoot(out + "/page3-about.png");
}

void desktop(const QString& out, const std::string& music) {
    const Bytes text{0};
    const char* titles[] = {"Intro", "Harbour Lights", "Night Train", "Outro"};
    for (int i = 0; i < 4; ++i) {
        const std::string number = std::to_string(i + 1);
        const Bytes frames =
            frame24("TIT2", text + bytes(titles[i])) + frame24("TPE1", text + bytes("The Quills")) +
            frame24("TALB", text + bytes("Ink")) + frame24("TRCK", text + bytes(number)) +
            frame24("TDRC", text + bytes("2004-05-06")) + frame24("TCON", text + bytes("Jazz")) +
            frame24("APIC", apic("image/png", 3, "cover", cover()));
        writeFile(music + "0" + number + " - " + titles[i] + ".mp3", tag24(frames) + audio());
    }
    Window w;
    w.form.selectionPage()->openPaths({QString::fromStdString(music)});
    w.form.session().selection.selectRow(0);
    w.shoot(out + "/desktop-selection.png");
    w.edit(0);
    w.shoot(out + "/desktop-editor.png");
    w.form.editorPage()->showSubPage(4);
    w.form.editorPage()->pictures()->ListView5->selectRow(0);
    w.shoot(out + "/desktop-pictures.png");
    // The renamer with a template, and the selection list after its run.
    w.form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
        ->setCurrentIndex(TForm1::Mp3FileTab);
    w.click("ToolButton8");
    RenamerPage* renamer = w.form.renamerPage();
    renamer->addTemplateRow("", "Track Num.", " - ");
    renamer->addTemplateRow("", "Artist", " - ");
    renamer->addTemplateRow("", "Title", "");
    renamer->showrenamepreview();
    w.shoot(out + "/desktop-renamer.png");
    w.dialogs.answers = {true};
    renamer->Button1->click();
    w.shoot(out + "/desktop-renamed.png");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: quillet-screenshots FOLDER [--desktop-only] [--dark]\n");
        return 2;
    }
    const QString out = QDir(args.first()).absolutePath();
    QDir().mkpath(out);
    // The desktop's look is there before the window is made, as at program start.
    if (args.contains(QStringLiteral("--dark"))) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(darkPalette());
    }
    QTemporaryDir work;
    const std::string root = work.path().toStdString() + "/";
    setProgramFolder(QString::fromStdString(root + "program/"));
    for (const char* folder : {"pages/", "Music/"})
        QDir().mkpath(QString::fromStdString(root + folder));
    if (!args.contains(QStringLiteral("--desktop-only"))) pages(out, root + "pages/");
    desktop(out, root + "Music/");
    return 0;
}
