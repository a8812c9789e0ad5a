// Not a test: renders every page of the window into PNG files, to look at the
// layout as a user would. Run by hand:
//   gui_tests --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
// (QUILLET_SHOTS names the folder; /tmp/quillet-shots by default).
#include "windowfixture.h"

#include <QDir>
#include <QStackedWidget>

using namespace testing_support;

namespace {

class Screens : public WindowFixture {};

TEST_F(Screens, DISABLED_Screenshots) {
    const QString folder = qEnvironmentVariableIsSet("QUILLET_SHOTS")
                               ? qEnvironmentVariable("QUILLET_SHOTS")
                               : QStringLiteral("/tmp/quillet-shots");
    QDir().mkpath(folder);
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
