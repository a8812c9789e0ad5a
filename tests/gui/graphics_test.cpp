// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The picture loader: one decoder per extension, each tried on a real file of
// its kind made here, and what the user reads when a file cannot be shown.
#include "graphics/decoders.h"
#include "graphics/imageview.h"
#include "graphics/isolateddecoder.h"
#include "graphics/picturefiledialog.h"
#include "graphics/pictureloader.h"
#include "io/ioerror.h"
#include "picturefiles.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace picture_files;
using namespace testing_support;
using graphics::GraphicsError;
using graphics::loadPicture;

namespace {

class Loader : public ::testing::Test {
protected:
    TempDir dir;

    QImage load(const std::string& name, const Bytes& bytes) {
        writeFile(dir.file(name), bytes);
        return loadPicture(QString::fromStdString(dir.file(name)));
    }
    // The error text the user would read for this file.
    std::string failure(const std::string& name, const Bytes& bytes) {
        try {
            load(name, bytes);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }
};

QColor pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

TEST_F(Loader, JpegGrayColourAndCmyk) {
    const QImage gray = load("gray.jpg", jpeg(40, 30, JpegKind::Gray, QColor(128, 128, 128)));
    EXPECT_EQ(gray.size(), QSize(40, 30));
    EXPECT_TRUE(gray.isGrayscale());
    EXPECT_TRUE(near(pixel(gray, 20, 15), QColor(128, 128, 128), 2));

    const QColor orange(240, 120, 30);
    const QImage colour = load("colour.jpeg", jpeg(64, 48, JpegKind::Colour, orange));
    EXPECT_EQ(colour.size(), QSize(64, 48));
    EXPECT_TRUE(near(pixel(colour, 10, 10), orange)) << pixel(colour, 10, 10).name().toStdString();

    // libjpeg hands CMYK back as it is; the loader makes it RGB, Adobe's
    // inverted inks included.
    for (QColor c : {QColor(255, 0, 0), QColor(0, 0, 255), orange, QColor(20, 20, 20)}) {
        const QImage cmyk = load("cmyk.jpg", jpeg(32, 32, JpegKind::Cmyk, c));
        EXPECT_TRUE(near(pixel(cmyk, 16, 16), c, 8))
            << c.name().toStdString() << " came out " << pixel(cmyk, 16, 16).name().toStdString();
    }
}

TEST_F(Loader, ExtensionsIgnoreLetterCase) {
    EXPECT_EQ(load("UPPER.JPG", jpeg(8, 8, JpegKind::Colour, Qt::red)).size(), QSize(8, 8));
    EXPECT_EQ(load("Mixed.Bmp", qtImage(5, 7, "bmp", Qt::red)).size(), QSize(5, 7));
}

TEST_F(Loader, QtReadersForBmpIcoPngGif) {
    const QColor teal(0, 128, 128);
    for (const char* format : {"bmp", "ico", "png", "gif"}) {
        const QImage image = load(std::string("p.") + format, qtImage(32, 24, format, teal));
        EXPECT_EQ(image.size(), QSize(32, 24)) << format;
        EXPECT_TRUE(near(pixel(image, 16, 12), teal)) << format;
    }
}

TEST_F(Loader, WindowsMetafileWithOpaqueFillsAndText) {
    const QColor red(200, 0, 0);
    const QImage plain = load("plain.wmf", wmf(200, 100, red));
    EXPECT_EQ(plain.size(), QSize(200, 100));
    // The file sets a transparent background; its fills must stay opaque.
    EXPECT_EQ(pixel(plain, 100, 50).alpha(), 255);
    EXPECT_TRUE(near(pixel(plain, 100, 50), red)) << pixel(plain, 100, 50).name().toStdString();

    // Text needs the URW fonts; the letters come out dark on the red fill.
    const QImage text = load("text.wmf", wmf(300, 150, red, true));
    int dark = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            dark += qGray(text.pixel(x, y)) < 40 && qAlpha(text.pixel(x, y)) == 255;
    EXPECT_GT(dark, 50);
}

TEST_F(Loader, EnhancedMetafile) {
    const QColor green(0, 160, 0);
    const QImage image = load("a.emf", emf(120, 80, green));
    EXPECT_NEAR(image.width(), 120, 1);
    EXPECT_NEAR(image.height(), 80, 1);
    EXPECT_TRUE(near(pixel(image, 60, 40), green));
}

TEST_F(Loader, HugeMetafileCanvasesAreDrawnSmaller) {
    // A header may declare any canvas; the drawing is capped, keeping its shape.
    const QImage e = load("huge.emf", emf(2000000, 1000000, Qt::blue));
    EXPECT_EQ(e.width(), graphics::MaxMetafileSide);
    EXPECT_NEAR(e.height(), graphics::MaxMetafileSide / 2, 1);

    const QImage w = load("huge.wmf", wmf(30000, 15000, Qt::blue));
    EXPECT_LE(std::max(w.width(), w.height()), graphics::MaxMetafileSide);
    EXPECT_NEAR(double(w.width()) / w.height(), 2.0, 0.01);
}

TEST_F(Loader, OtherExtensionsAreRefused) {
    EXPECT_EQ(failure("scan.tif", qtImage(4, 4, "png", Qt::red)),
              "Unknown picture file extension (.tif)");
    EXPECT_EQ(failure("scan.TIFF", Bytes{}), "Unknown picture file extension (.TIFF)");
    EXPECT_EQ(failure("noextension", Bytes{}), "Unknown picture file extension (.)");
}

TEST_F(Loader, DamagedFilesSayWhichAndWhy) {
    // A cut-off JPEG is an error, not a picture with a grey lower part.
    Bytes whole = jpeg(64, 64, JpegKind::Colour, Qt::red);
    Bytes cut(whole.begin(), whole.begin() + long(whole.size() / 2));
    EXPECT_EQ(failure("cut.jpg", cut),
              "cut.jpg is not a valid JPEG picture (Premature end of JPEG file)");
    EXPECT_EQ(failure("png.jpg", qtImage(4, 4, "png", Qt::red)),
              "png.jpg is not a valid JPEG picture (Not a JPEG file: starts with 0x89 0x50)");
    EXPECT_EQ(failure("empty.jpg", Bytes{}),
              "empty.jpg is not a valid JPEG picture (Empty input file)");

    EXPECT_EQ(failure("text.bmp", bytes("not a bitmap at all"))
                  .rfind("text.bmp is not a valid "
                         "Windows bitmap (",
                         0),
              0u);
    EXPECT_EQ(failure("jpeg.png", jpeg(8, 8, JpegKind::Colour, Qt::red))
                  .rfind("jpeg.png is not a valid PNG picture (", 0),
              0u);
    const Bytes metafile = wmf(100, 100, Qt::red);
    EXPECT_EQ(failure("cut.wmf", Bytes(metafile.begin(), metafile.begin() + 30))
                  .rfind("cut.wmf is not a valid Windows metafile (", 0),
              0u);
    const Bytes enhanced = emf(100, 100, Qt::red);
    EXPECT_EQ(failure("cut.emf", Bytes(enhanced.begin(), enhanced.begin() + 60)),
              "cut.emf is not a valid enhanced metafile (the records are damaged)");
    EXPECT_EQ(failure("garbage.emf", repeat(0x41, 500)),
              "garbage.emf is not a valid enhanced metafile (the records are damaged)");
}

// Pictures the fuzzers found taking gigabytes or minutes inside libjpeg, libwmf
// and libemf2svg, or reading past the file, that our own checks now refuse at
// once, with the reason.
TEST_F(Loader, KeptHostilePicturesAreRefusedBeforeTheLibraries) {
    const struct {
        const char* kept;
        const char* name;
        const char* message;
    } cases[] = {
        {"wmf/bitmap-read-for-ever", "a.wmf",
         "a.wmf is not a valid Windows metafile (a bitmap in it is damaged)"},
        {"wmf/bitmap-of-gigabytes", "b.wmf",
         "b.wmf is not a valid Windows metafile (a bitmap in it is damaged)"},
        {"emf/description-past-the-header", "c.emf",
         "c.emf is not a valid enhanced metafile (the records are damaged)"},
        {"emf/description-without-its-zeros", "d.emf",
         "d.emf is not a valid enhanced metafile (the records are damaged)"},
        {"jpeg/progressive-of-194-megapixels", "e.jpg",
         "e.jpg is too large to show (63008 x 3077 pixels)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failure(c.name, readFile(std::string(QUILLET_FUZZ_REGRESSIONS "/") + c.kept)),
                  c.message)
            << c.kept;
}

TEST_F(Loader, HugeJpegHeaderIsRefusedBeforeDecoding) {
    Bytes file = jpeg(16, 16, JpegKind::Colour, Qt::red);
    // Give the frame header (SOF0: FF C0, length, precision, height, width) 60000 x 60000.
    for (size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = file[i + 7] = 0xEA;
            file[i + 6] = file[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_EQ(failure("huge.jpg", file), "huge.jpg is too large to show (60000 x 60000 pixels)");
}

TEST_F(Loader, MissingFileIsAFileError) {
    EXPECT_THROW(loadPicture(QString::fromStdString(dir.file("gone.jpg"))), io::IoError);
    EXPECT_EQ(failure("x.jpg", Bytes{}).find("File not found"), std::string::npos);
    try {
        loadPicture(QString::fromStdString(dir.file("gone.bmp")));
    } catch (const io::IoError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

// The window's side of quillet-picture, against stand-in helpers that fail in
// each way the real one can: every failure is a DecodeError with its reason, and
// none of them (a helper that never reads its input included) harms the caller.
TEST(DecodeApart, HelperFailuresAreErrorsWithTheirReason) {
    struct Case {
        const char* helper; // a shell script
        std::string reason;
    };
    const Case cases[] = {
        {"kill -SEGV $$", "the metafile reader failed on it"},
        {"cat >/dev/null; exit 3", "the metafile reader failed on it"},
        {"cat >/dev/null", "the metafile reader gave no answer"},
        {"cat >/dev/null; printf 'Ethe records are damaged'", "the records are damaged"},
        {"printf 'Enothing was read'", "nothing was read"},
        {"cat >/dev/null; printf 'P\\001\\0\\0\\0\\001\\0\\0\\0ab'",
         "the metafile reader's answer is damaged"},
        {"cat >/dev/null; printf 'P\\0\\020\\0\\0\\0\\020\\0\\0'",
         "the metafile reader's answer is damaged"},
        {"cat >/dev/null; printf 'P\\001\\0\\0\\0\\001\\0\\0\\0abcde'",
         "the metafile reader's answer is damaged"},
        {"cat >/dev/null; printf E; head -c 70000 /dev/zero | tr '\\0' x",
         "the metafile reader's answer is too large"},
        {"cat >/dev/null; printf 'L\\020\\047\\0\\0\\040\\116\\0\\0'", "10000 x 20000 pixels"},
    };
    TempDir dir;
    // More than a pipe holds, so that a helper that reads nothing blocks the sender.
    const QByteArray input(4 << 20, 'A');
    for (const Case& c : cases) {
        const std::string helper = dir.file("helper");
        writeFile(helper, bytes(std::string("#!/bin/sh\n") + c.helper + "\n"));
        ::chmod(helper.c_str(), 0700);
        try {
            graphics::decodeApart(input, "wmf", helper);
            ADD_FAILURE() << c.helper << ": no error";
        } catch (const graphics::DecodeError& e) {
            EXPECT_EQ(e.what(), c.reason) << c.helper;
        }
    }
    try {
        graphics::decodeApart(input, "wmf", dir.file("no-helper"));
        ADD_FAILURE() << "a missing helper gave no error";
    } catch (const graphics::DecodeError& e) {
        EXPECT_EQ(std::string(e.what()), "the metafile reader " + dir.file("no-helper") +
                                             " cannot start: No such file or directory");
    }
}

TEST(DecodeApart, ThePictureComesBackPixelForPixel) {
    TempDir dir;
    const std::string helper = dir.file("helper");
    // A 2 x 1 picture: opaque red, then half-transparent green (premultiplied).
    writeFile(helper, bytes("#!/bin/sh\ncat >/dev/null\nprintf 'P\\002\\0\\0\\0\\001\\0\\0\\0"
                            "\\0\\0\\377\\377\\0\\200\\0\\200'\n"));
    ::chmod(helper.c_str(), 0700);
    const QImage image = graphics::decodeApart(QByteArray("x"), "emf", helper);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(0, 255, 0, 128));
}

TEST(OpenPictureFilter, NamesEveryExtensionTheLoaderTakes) {
    const QString filter = graphics::openPictureFilter();
    EXPECT_TRUE(filter.startsWith(
        "All (*.jpg;*.jpeg;*.bmp;*.ico;*.png;*.gif;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.png;"
        "*.gif;*.emf;*.wmf|JPEG Image File (*.jpg)|*.jpg|"))
        << filter.toStdString();
    EXPECT_TRUE(filter.endsWith("|Metafiles (*.wmf)|*.wmf"));
}

TEST(ImageViewSizing, ZoomStopsAtItsLimits) {
    ImageView view;
    view.resize(3, 2);
    view.zoomOut();
    view.zoomOut();
    EXPECT_EQ(view.size(), QSize(1, 1)); // never nothing
    view.zoomIn();
    EXPECT_EQ(view.size(), QSize(2, 2));
    view.resize(ImageView::MaxSide / 2, 100);
    view.zoomIn();
    EXPECT_EQ(view.size(), QSize(ImageView::MaxSide, 200));
    view.zoomIn();
    EXPECT_EQ(view.size(), QSize(ImageView::MaxSide, 200));
}

} // namespace

namespace {

TEST(PictureOpenDialog, PreviewShowsWhatTheProgramWillShow) {
    TempDir dir;
    writeFile(dir.file("wide.bmp"), qtImage(1000, 500, "bmp", Qt::red));
    writeFile(dir.file("small.png"), qtImage(20, 10, "png", Qt::red));
    writeFile(dir.file("scan.tif"), bytes("II*"));
    PictureFileDialog dialog(nullptr, QString::fromStdString(dir.path()),
                             {"All (*.bmp *.png *.tif)"});
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    dialog.preview(QString::fromStdString(dir.file("wide.bmp")));
    const int side = PictureFileDialog::PreviewSide - 4;
    EXPECT_EQ(dialog.previewLabel()->pixmap().size(), QSize(side, side / 2));
    EXPECT_EQ(dialog.captionLabel()->text(), "1000 x 500");
    dialog.preview(QString::fromStdString(dir.file("small.png")));
    EXPECT_EQ(dialog.previewLabel()->pixmap().size(), QSize(20, 10)); // not blown up
    dialog.preview(QString::fromStdString(dir.file("scan.tif")));
    EXPECT_TRUE(dialog.previewLabel()->pixmap().isNull());
    EXPECT_EQ(dialog.previewLabel()->text(), "(no preview)");
    EXPECT_EQ(dialog.captionLabel()->text(), "Unknown picture file extension (.tif)");
    dialog.preview(QString::fromStdString(dir.path())); // a folder: nothing
    EXPECT_EQ(dialog.captionLabel()->text(), "");
}

} // namespace
