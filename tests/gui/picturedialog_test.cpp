// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The add image dialog: Add and Edit showings, "Load file...", the pending MIME
// type, the dialog's own fitting and zoom, and what "Add" stores.
#include "editor/picturepage.h"
#include "graphics/imageview.h"
#include "graphics/pictureloader.h"
#include "picturefiles.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace testing_support;
using namespace picture_files;

namespace {

using Entry = tag::PictureEntry;

class PictureDialog : public WindowFixture {
protected:
    ReportView* list() const { return form->editorPage()->pictures()->ListView5; }

    void openWith(const Bytes& frames) {
        addFile("song.mp3", tag24(frame24("TIT2", Bytes{0, 'S'}) + frames) + audio());
        edit(0);
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        form->editorPage()->showSubPage(4);
    }
    // A picture file of the given size in the test folder.
    std::string pictureFile(const std::string& name, int w, int h) {
        const std::string path = dir.file(name);
        writeFile(path, qtImage(w, h, "bmp", Qt::red));
        return path;
    }
    // Clicks opener and runs steps while the modal dialog is up; a dialog the
    // steps leave open is cancelled.
    bool whileOpen(const char* opener, const std::function<void()>& steps) {
        bool opened = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            opened = form3->isVisible();
            if (opened) steps();
            if (form3->isVisible()) form3->reject();
        });
        timer.start(0);
        click(opener);
        timer.stop();
        return opened;
    }
    void dialogClick(const char* name) {
        form3->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    // "Load file..." answered with path.
    void loadFile(const std::string& path) {
        dialogs.files.push_back(QString::fromStdString(path));
        dialogClick("BitBtn1");
    }
    const Entry& entry(int i) const { return form->session().ID3v241.Pictures()[i]; }
    ImageView* view() const { return form3->Image1; }
};

TEST_F(PictureDialog, AddAPictureFromAFile) {
    openWith(Bytes{});
    const std::string path = pictureFile("front.bmp", 1000, 500);
    form3->pictureFolder = QString::fromStdString(dir.path() + "start/");
    const bool opened = whileOpen("BitBtn12", [&] {
        EXPECT_EQ(form3->windowTitle(), "Add Image");
        EXPECT_EQ(form3->BitBtn2->text(), "Add");
        EXPECT_FALSE(view()->isVisible());
        EXPECT_EQ(form3->Label4->text(), "Unknown");
        EXPECT_EQ(form3->ComboBox1->count(), 21);
        EXPECT_EQ(form3->ComboBox1->currentIndex(), -1);
        EXPECT_FALSE(form3->ComboBox1->isEditable());
        type(form3->Edit1, QString::fromUtf8("Front Кино 🎵")); // any character
        form3->ComboBox1->setCurrentIndex(3);
        loadFile(path);
        EXPECT_EQ(dialogs.lastOpenFolder, QString::fromStdString(dir.path() + "start/"));
        EXPECT_EQ(dialogs.lastFilter, graphics::openPictureFilter());
        EXPECT_EQ(form3->Edit2->text(), QString::fromStdString(path));
        EXPECT_EQ(form3->pendingMimeType, "image/bmp");
        EXPECT_EQ(form3->Label4->text(), "image/bmp");
        EXPECT_TRUE(view()->isVisible());
        EXPECT_EQ(view()->size(), QSize(280, 140));
        dialogClick("BitBtn2");
        EXPECT_FALSE(form3->isVisible());
    });
    ASSERT_TRUE(opened);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 1);
    EXPECT_EQ(entry(1),
              (Entry{withZero("image/bmp"), "Cover (front)", withZero("Front Кино 🎵"), path}));
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(1), QString::fromUtf8("Front Кино 🎵"));
    EXPECT_EQ(form3->lastPictureFile, QString::fromStdString(path));

    // The next showing is empty again, and its open dialog starts in the last folder.
    whileOpen("BitBtn12", [&] {
        EXPECT_EQ(form3->Edit1->text(), "");
        EXPECT_EQ(form3->Edit2->text(), "");
        EXPECT_EQ(form3->ComboBox1->currentIndex(), -1);
        EXPECT_FALSE(view()->isVisible());
        EXPECT_EQ(form3->Label4->text(), "image/bmp"); // carried over
        dialogClick("BitBtn1");                        // cancelled: nothing changes
        EXPECT_EQ(dialogs.lastOpenFolder, QString::fromStdString(dir.path()));
        EXPECT_EQ(form3->Edit2->text(), "");
        dialogClick("BitBtn2"); // nothing is checked: stored as it is
    });
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 2);
    EXPECT_EQ(entry(2), (Entry{withZero("image/bmp"), "", withZero(""), ""}));
}

TEST_F(PictureDialog, FitAndZoomFigures) {
    openWith(Bytes{});
    form3->show();
    // Small: unscaled in the view's first size.
    form3->loadFile(QString::fromStdString(pictureFile("small.bmp", 200, 150)));
    EXPECT_EQ(view()->size(), QSize(281, 337));
    EXPECT_FALSE(view()->stretch());
    dialogClick("BitBtn4");
    dialogClick("BitBtn4");
    EXPECT_EQ(view()->size(), QSize(1124, 1348));
    view()->resize(281, 337);
    dialogClick("BitBtn5");
    EXPECT_EQ(view()->size(), QSize(140, 168));

    form3->loadFile(QString::fromStdString(pictureFile("tall.bmp", 400, 1000)));
    EXPECT_EQ(view()->width(), 134);
    EXPECT_TRUE(view()->height() == 336 || view()->height() == 335) << view()->height();
    EXPECT_TRUE(view()->stretch());
    form3->loadFile(QString::fromStdString(pictureFile("wide.bmp", 1000, 500)));
    EXPECT_EQ(view()->size(), QSize(280, 140));
    // Truncated, where the page would round up: 499 / (999 / 280) is 139.86.
    form3->loadFile(QString::fromStdString(pictureFile("odd.bmp", 999, 499)));
    EXPECT_EQ(view()->size(), QSize(280, 139));

    dialogClick("RadioButton1");
    EXPECT_EQ(view()->size(), QSize(999, 499));
    form3->loadFile(QString::fromStdString(pictureFile("next.bmp", 300, 400)));
    EXPECT_EQ(view()->size(), QSize(300, 400)); // Original size holds
    dialogClick("RadioButton2");
    EXPECT_EQ(view()->size(), QSize(252, 336));
    form3->hide();
}

TEST_F(PictureDialog, MimeTypeFromThePath) {
    EXPECT_EQ(TForm3::mimeTypeForPath("C:\\pics\\front.bmp"), "image/bmp");
    EXPECT_EQ(TForm3::mimeTypeForPath("/a/b.jpg"), "image/jpg");
    EXPECT_EQ(TForm3::mimeTypeForPath("/a/b.jpeg"), "image/jpeg");
    EXPECT_EQ(TForm3::mimeTypeForPath("/a/B.JPEG"), "image/jpeg");
    EXPECT_EQ(TForm3::mimeTypeForPath("/a/b.tiff"), "image/iff");
    EXPECT_EQ(TForm3::mimeTypeForPath("/a/B.PNG"), "image/PNG");
}

TEST_F(PictureDialog, EditThenAddStoresTheSameEntryInPlace) {
    openWith(frame24("APIC", apic("image/png", 3, "first", qtImage(30, 20, "png", Qt::red))) +
             frame24("APIC", apic("image/png", 18, "second", qtImage(500, 400, "png", Qt::red))) +
             frame24("APIC", apic("image/png", 0, "third", qtImage(5, 5, "png", Qt::red))));
    const Entry before = entry(2);
    list()->selectRow(1);
    ASSERT_TRUE(whileOpen("BitBtn13", [&] {
        EXPECT_EQ(form3->windowTitle(), "Add Image");
        EXPECT_EQ(form3->Edit1->text(), "second");
        EXPECT_EQ(form3->ComboBox1->currentText(), "Illustration");
        EXPECT_EQ(form3->Edit2->text(), QString::fromStdString(before.pictureFile));
        EXPECT_EQ(form3->Label4->text(), "image/png");
        EXPECT_EQ(form3->pendingMimeType, "image/png");
        EXPECT_TRUE(view()->isVisible());
        EXPECT_EQ(view()->size(), QSize(500, 400)); // the picture's own size
        dialogClick("BitBtn2");
    }));
    EXPECT_EQ(form3->pictureIndex(), 2);
    EXPECT_EQ(form->session().ID3v241.Pictures().count(), 3);
    EXPECT_EQ(entry(2), before);
    EXPECT_EQ(list()->topLevelItem(1)->text(1), "second");
}

TEST_F(PictureDialog, EditFindsTheTypeWhateverItsCase) {
    openWith(Bytes{});
    form->session().ID3v241.SetPicture(withZero("d"), "cover (FRONT)", withZero("image/bmp"),
                                       pictureFile("a.bmp", 10, 10), 1);
    form->editorPage()->pictures()->readpicture();
    list()->selectRow(0);
    whileOpen("BitBtn13", [&] {
        EXPECT_EQ(form3->ComboBox1->currentIndex(), 3);
        form3->Edit1->setText("changed");
        dialogClick("BitBtn2");
    });
    EXPECT_EQ(entry(1).pictureType, "Cover (front)");
    EXPECT_EQ(entry(1).description, withZero("changed"));

    form->session().ID3v241.SetPicture(withZero("d"), "no such type", withZero("image/bmp"),
                                       entry(1).pictureFile, 1);
    whileOpen("BitBtn13", [&] { EXPECT_EQ(form3->ComboBox1->currentIndex(), -1); });
}

TEST_F(PictureDialog, PendingMimeTypeCarriesFromEditToAdd) {
    openWith(frame24("APIC", apic("image/png", 3, "p", qtImage(8, 8, "png", Qt::red))));
    list()->selectRow(0);
    whileOpen("BitBtn13", [&] { dialogClick("BitBtn3"); }); // Edit showing, cancelled
    EXPECT_EQ(form->session().ID3v241.Pictures().count(), 1);
    const std::string typed = pictureFile("typed.bmp", 8, 8);
    whileOpen("BitBtn12", [&] {
        form3->Edit1->setText("typed");
        form3->Edit2->setText(QString::fromStdString(typed)); // by hand, no "Load file..."
        dialogClick("BitBtn2");
    });
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 2);
    EXPECT_EQ(entry(2), (Entry{withZero("image/png"), "", withZero("typed"), typed}));
}

TEST_F(PictureDialog, CancelStoresNothing) {
    openWith(Bytes{});
    const std::string path = pictureFile("a.bmp", 10, 10);
    whileOpen("BitBtn12", [&] {
        form3->Edit1->setText("x");
        loadFile(path);
        dialogClick("BitBtn3");
    });
    EXPECT_EQ(form->session().ID3v241.Pictures().count(), 0);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

TEST_F(PictureDialog, AFileThatCannotBeShownCanStillBeStored) {
    openWith(Bytes{});
    const std::string path = dir.file("scan.tif");
    writeFile(path, bytes("II*"));
    whileOpen("BitBtn12", [&] {
        loadFile(path);
        EXPECT_EQ(dialogs.messages,
                  Boxes({FakeDialogs::reported("Unknown picture file extension (.tif)")}));
        EXPECT_EQ(form3->Edit2->text(), QString::fromStdString(path));
        EXPECT_EQ(form3->pendingMimeType, "image/tif");
        EXPECT_FALSE(view()->hasPicture());
        dialogClick("BitBtn2");
    });
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 1);
    EXPECT_EQ(entry(1).mimeType, withZero("image/tif"));
    EXPECT_EQ(entry(1).pictureFile, path);
}

// A metafile shown by the dialog is decoded while the window goes on: the
// dialog shows that it decodes, then the error; closing it kills the helper.
TEST_F(PictureDialog, AHostileMetafileLeavesTheDialogAnswering) {
    const Bytes hostile = readFile(QUILLET_FUZZ_REGRESSIONS "/emf/fill-that-stalls-the-rasteriser");
    openWith(frame24("APIC", apic("image/x-emf", 3, "hostile", hostile + bytes("dialog"))));
    list()->selectRow(0);
    form->editorPage()->pictures()->hidePreview(); // the page's own decode given up
    ASSERT_TRUE(whileOpen("BitBtn13", [&] {
        EXPECT_EQ(view()->note(), "Decoding…");
        QTRY_VERIFY_WITH_TIMEOUT(!dialogs.messages.empty(), 20000);
        EXPECT_EQ(dialogs.lastMessage(), "Picture 1 \"hostile\" is not a valid enhanced "
                                         "metafile (drawing it takes too long)");
        EXPECT_FALSE(view()->hasPicture());
        EXPECT_EQ(form3->Edit1->text(), "hostile"); // still to be edited
    }));
}

} // namespace
