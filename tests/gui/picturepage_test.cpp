// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The Images sub-page: the list, the preview's fitting and zoom, Export, the
// clipboard, and what the user reads when a picture cannot be shown (Add,
// Edit and Delete are tried with the other lists, in entrylists_test).
#include "editor/picturepage.h"
#include "graphics/imageview.h"
#include "graphics/isolateddecoder.h"
#include "picturefiles.h"
#include "windowfixture.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace testing_support;
using namespace picture_files;

namespace {

class PicturePageTest : public WindowFixture {
protected:
    PicturePage* pictures() const { return form->editorPage()->pictures(); }
    ImageView* view() const { return pictures()->Image2; }
    ReportView* list() const { return pictures()->ListView5; }
    QSize viewSize() const { return view()->size(); }

    // A file whose tag holds the given APIC frames, read into the editor, on
    // the Images sub-page.
    void openWith(const Bytes& frames) {
        ASSERT_NO_FATAL_FAILURE(
            open(frame24("TIT2", latin1("Song")) +
                 frame24("COMM", latin1("eng") + bytes("c") + Bytes{0} + bytes("x")) + frames));
        form->editorPage()->showSubPage(4);
    }
    static Bytes png(int w, int h, const std::string& description = "") {
        return frame24("APIC", apic("image/png", 3, description, qtImage(w, h, "png", Qt::red)));
    }
    std::string temp(const std::string& name) const { return dir.path() + "program/Temp/" + name; }

    QStringList row(int r) const {
        auto* item = list()->topLevelItem(r);
        return {item->text(0), item->text(1), item->text(2), item->text(3)};
    }
};

TEST_F(PicturePageTest, ListShowsTheTagsPictures) {
    openWith(
        frame24("APIC", apic("image/png", 4, "back", qtImage(4, 4, "png", Qt::red))) +
        // A type beyond the table is kept as it is, not listed as another type.
        frame24("APIC", apic("image/jpeg", 21, "odd type", jpeg(4, 4, JpegKind::Gray, Qt::gray))) +
        frame24("APIC", apic("image/jpeg", 20, "logo", jpeg(4, 4, JpegKind::Gray, Qt::gray))));
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(row(0), QStringList({"1", "back", "image/png", "Cover (back)"}));
    EXPECT_EQ(row(1), QStringList({"2", "logo", "image/jpeg", "Publisher/Studio logotype"}));
    EXPECT_FALSE(view()->isVisible()); // until a picture is selected
    EXPECT_EQ(viewSize(), QSize(257, 193));
    EXPECT_TRUE(pictures()->RadioButton2->isChecked());
}

TEST_F(PicturePageTest, FitToWindowRoundsToTheBox) {
    openWith(png(800, 600) + png(600, 800) + png(400, 1000) + png(100, 80));
    // The last is small enough: unscaled, in the view's current size.
    const std::pair<QSize, bool> fitted[] = {
        {{257, 193}, true}, {{145, 193}, true}, {{77, 193}, true}, {{77, 193}, false}};
    for (int r = 0; r < 4; ++r) {
        list()->selectRow(r);
        EXPECT_TRUE(view()->isVisible()) << r;
        EXPECT_EQ(viewSize(), fitted[r].first) << r;
        EXPECT_EQ(view()->stretch(), fitted[r].second) << r;
    }
    EXPECT_EQ(view()->picture().size(), QSize(100, 80));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PicturePageTest, OriginalSizeAndZoom) {
    openWith(png(800, 600) + png(300, 100));
    list()->selectRow(0);
    for (int i = 0; i < 3; ++i)
        click("BitBtn24");
    EXPECT_EQ(viewSize(), QSize(32, 24));
    click("BitBtn23");
    EXPECT_EQ(viewSize(), QSize(64, 48));

    click("RadioButton1");
    EXPECT_EQ(viewSize(), QSize(800, 600));
    EXPECT_TRUE(view()->stretch());
    // The view reaches past the box: it scrolls.
    EXPECT_EQ(pictures()->ScrollBox1->widget()->size(), QSize(804, 608));
    EXPECT_GT(pictures()->ScrollBox1->horizontalScrollBar()->maximum(), 0);
    // The choice holds for the next picture.
    list()->selectRow(1);
    EXPECT_EQ(viewSize(), QSize(300, 100));
    click("RadioButton2");
    EXPECT_EQ(viewSize(), QSize(257, 86)); // 85.67 rounded
    EXPECT_EQ(pictures()->ScrollBox1->horizontalScrollBar()->maximum(), 0);
}

TEST_F(PicturePageTest, ExportCopiesTheBytesInBlocks) {
    // A 500 x 500 bitmap is 750,054 bytes: more than one block of 524,288.
    const Bytes bmp = qtImage(500, 500, "bmp", QColor(1, 2, 3));
    ASSERT_GT(bmp.size(), 524288u);
    openWith(png(10, 10, "first") + frame24("APIC", apic("image/bmp", 0, "cover", bmp)));
    pictures()->exportFolder = QString::fromStdString(dir.path() + "exports/");
    list()->selectRow(1);
    const std::string target = dir.file("cover.bmp");
    dialogs.files.push_back(QString::fromStdString(target));
    click("BitBtn15");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.lastFilter, "Image file (*.bmp)|*.bmp");
    EXPECT_EQ(dialogs.lastSuffix, "bmp");
    EXPECT_EQ(dialogs.lastProposedName, "cover");
    EXPECT_EQ(dialogs.lastSaveFolder, QString::fromStdString(dir.path() + "exports/"));
    EXPECT_EQ(readFile(target), bmp);
    EXPECT_EQ(pictures()->lastExportFile, QString::fromStdString(target));

    // The next export starts where the last one went; a cancelled one changes nothing.
    click("BitBtn15");
    EXPECT_EQ(dialogs.lastSaveFolder, QString::fromStdString(dir.path()));
    EXPECT_EQ(pictures()->lastExportFile, QString::fromStdString(target));
}

TEST_F(PicturePageTest, ExportActsOnTheSelectedPictureRow) {
    openWith(png(10, 10, "a") + png(20, 20, "b/c"));
    click("BitBtn15");
    EXPECT_EQ(dialogs.messages,
              Boxes({{"Please select image for export", "Error", Icon::Warning}}));

    list()->selectRow(1);
    widget<ReportView>("ListView4")->selectRow(0); // another list's row becomes current
    const std::string target = dir.file("out.png");
    dialogs.files.push_back(QString::fromStdString(target));
    click("BitBtn15");
    EXPECT_EQ(dialogs.lastProposedName, "b_c"); // a "/" would make it a path
    EXPECT_EQ(readFile(target), readFile(temp("2image.png")));
}

TEST_F(PicturePageTest, ExportExtensionFromTheMimeType) {
    for (const auto& [mime, extension] : {std::pair{"image/bmp", "bmp"},
                                          {"image/png", "png"},
                                          {"image/jpeg", "jpg"},
                                          {"IMAGE/JPEG", "jpg"},
                                          {"image/jpg", "jpg"},
                                          {"image/x-icon", "con"},
                                          {"ab", "ab"}})
        EXPECT_EQ(PicturePage::exportExtension(std::string(mime) + '\0'), extension) << mime;
    EXPECT_EQ(PicturePage::exportExtension(""), "");

    openWith(frame24("APIC", apic("image/jpeg", 3, "", jpeg(8, 8, JpegKind::Colour, Qt::red))));
    list()->selectRow(0);
    click("BitBtn15");
    EXPECT_EQ(dialogs.lastFilter, "Image file (*.jpg)|*.jpg");
    EXPECT_EQ(dialogs.lastSuffix, "jpg");
    EXPECT_EQ(dialogs.lastProposedName, "");
}

TEST_F(PicturePageTest, ExportFailuresReachTheErrorReport) {
    openWith(png(10, 10, "a"));
    list()->selectRow(0);
    dialogs.files.push_back(QString::fromStdString(dir.path() + "missing/folder/a.png"));
    click("BitBtn15");
    EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported("File not found")}));

    // Exporting a picture onto its own file leaves it whole.
    const Bytes before = readFile(temp("1image.png"));
    dialogs.files.push_back(QString::fromStdString(temp("1image.png")));
    click("BitBtn15");
    EXPECT_EQ(readFile(temp("1image.png")), before);
}

TEST_F(PicturePageTest, SendToClipboard) {
    openWith(png(30, 20));
    QClipboard* clipboard = QGuiApplication::clipboard();
    QImage marker(3, 3, QImage::Format_RGB32);
    marker.fill(Qt::green);
    clipboard->setImage(marker);
    click("BitBtn22"); // nothing loaded yet: nothing happens
    EXPECT_EQ(clipboard->image().size(), QSize(3, 3));

    list()->selectRow(0);
    click("BitBtn22");
    EXPECT_EQ(clipboard->image().size(), QSize(30, 20));
    EXPECT_EQ(clipboard->image().pixelColor(5, 5), QColor(Qt::red));

    // Reading the file again hides the preview; its picture is no longer there to copy.
    clipboard->setImage(marker);
    click("Button3");
    edit(0);
    EXPECT_FALSE(view()->isVisible());
    click("BitBtn22");
    EXPECT_EQ(clipboard->image().size(), QSize(3, 3));
}

// Each row shows its own picture, whatever the tag's format, or says why it
// cannot: the view then shows none, not the last one.
TEST_F(PicturePageTest, EachRowShowsItsPictureOrSaysWhyNot) {
    const Bytes whole = jpeg(64, 64, JpegKind::Colour, Qt::red);
    openWith(png(40, 30) +
             frame24("APIC", apic("image/gif", 3, "", qtImage(12, 8, "gif", Qt::blue))) +
             frame24("APIC", apic("image/tiff", 3, "", bytes("II*\0"))) +
             frame24("APIC", apic("image/jpeg", 3, "cut", Bytes(whole.begin(), whole.end() - 10))) +
             // Other MIME types of the same formats.
             frame24("APIC", apic("image/x-ms-bmp", 3, "", qtImage(5, 6, "bmp", Qt::green))) +
             frame24("APIC", apic("image/x-icon", 3, "", qtImage(16, 16, "ico", Qt::green))));
    const struct {
        QSize shown; // none: the box's text
        const char* box;
    } rows[] = {
        {QSize(40, 30), nullptr},
        {QSize(12, 8), nullptr},
        {QSize(), "Unknown picture file extension (.tiff)"},
        {QSize(), "Picture 4 \"cut\" is not a valid JPEG picture (Premature end of JPEG file)"},
        {QSize(5, 6), nullptr},
        {QSize(16, 16), nullptr},
    };
    // The Format column as wide as its longest type.
    QTRY_VERIFY(list()->columnWidth(2) >=
                list()->fontMetrics().horizontalAdvance(QStringLiteral("image/x-ms-bmp")));
    for (int r = 0; r < int(std::size(rows)); ++r) {
        dialogs.messages.clear();
        list()->selectRow(r);
        if (rows[r].box) {
            EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported(rows[r].box)})) << r;
            EXPECT_FALSE(view()->hasPicture()) << r;
        } else {
            EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
            EXPECT_EQ(view()->picture().size(), rows[r].shown) << r;
        }
    }
}

// The metafile helpers this process has running.
int helpers() {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string pid, name, state;
        long parent = 0;
        if (stat >> pid >> name >> state >> parent && parent == ::getpid() &&
            name == "(quillet-picture)")
            ++n;
    }
    return n;
}

// A metafile whose drawing keeps Qt's rasteriser filling for ever is decoded
// while the window answers; its row says why it shows no picture, again at
// once when chosen again. Another row chosen meanwhile, or the window closed,
// ends its helper.
TEST_F(PicturePageTest, AHostileMetafileLeavesTheWindowAnswering) {
    const Bytes hostile = readFile(QUILLET_FUZZ_REGRESSIONS "/emf/fill-that-stalls-the-rasteriser");
    openWith(frame24("APIC", apic("image/x-emf", 3, "hostile", hostile)) + png(40, 30) +
             frame24("APIC", apic("image/emf", 3, "other", hostile + bytes("xyzw"))));
    list()->selectRow(0);
    EXPECT_EQ(view()->note(), "Decoding…");
    QTRY_COMPARE(helpers(), 1);
    list()->selectRow(1);
    EXPECT_EQ(view()->picture().size(), QSize(40, 30));
    EXPECT_EQ(helpers(), 0);

    const Box refused = FakeDialogs::reported(
        "Picture 1 \"hostile\" is not a valid enhanced metafile (drawing it takes too long)");
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer decoding, sinceLast;
        decoding.start();
        sinceLast.start();
        list()->selectRow(0);
        qint64 longest = 0;
        while (dialogs.messages.empty() && decoding.elapsed() < 20000) {
            QTest::qWait(10);
            longest = std::max(longest, sinceLast.restart());
        }
        EXPECT_LT(longest, 100) << "the window waited";
        EXPECT_EQ(dialogs.messages, Boxes({refused}));
        EXPECT_FALSE(view()->hasPicture());
        // The second time the refusal is remembered: no helper runs its time.
        if (round == 1) {
            EXPECT_LT(decoding.elapsed(), graphics::apart::CpuSeconds * 1000);
        }
        dialogs.messages.clear();
        list()->selectRow(1);
    }

    list()->selectRow(2);
    QTRY_COMPARE(helpers(), 1);
    form->close();
    EXPECT_EQ(helpers(), 0);
}

} // namespace
