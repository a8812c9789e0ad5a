// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Program start: the command line, the application and its title, the main
// window, then the text entry dialog and the image dialog, and the event loop.
#include "app/commandline.h"
#include "app/qtuserdialogs.h"
#include "app/quilletapplication.h"
#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/selectionpage.h"
#include "editor/tagprog1.h"

#include <cstdio>

int main(int argc, char** argv) {
    // Help and version are answered before the application exists: they need
    // no display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = parseCommandLine(raw);
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version) {
        const QString text = early.action == CommandLine::Action::Help ? helpText() : versionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QuilletApplication app(argc, argv);
    // Qt's own options are gone from the arguments by now.
    const CommandLine line = parseCommandLine(QuilletApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::Usage) {
        std::fprintf(stderr, "quillet: %s\nTry 'quillet --help' for more information.\n",
                     line.error.toLocal8Bit().constData());
        return 2;
    }
    QtUserDialogs dialogs;
    app.setDialogs(&dialogs);

    TForm1 form1(dialogs);
    TForm2 form2(form1.session(), &form1);
    TForm3 form3(form1.session(), &form1);
    form1.setDialogs(&form2, &form3);
    form1.show();
    form1.selectionPage()->openPaths(line.paths);
    return QuilletApplication::exec();
}
