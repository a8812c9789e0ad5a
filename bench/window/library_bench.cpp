// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The window itself, offscreen, over a library of files: "Write for all",
// "Write changes to all", the renamer's run, "Add to list" of a whole folder, opening a folder in
// the file view, reading files into the editor one by one and "Write Tag" of
// each. Prints one JSON object: the seconds the action took, the files it
// went through and, for the runs, the longest wait between two repaints of
// the progress bar. Run by bench/library.py, never by ctest.
//
//   quillet-library-bench write|rename|add|open|read|writetag FOLDER PROGRAM_FOLDER [no-journal]
//   quillet-library-bench changes FOLDER PROGRAM_FOLDER COVER [no-journal]
//
// changes: the first file's album and recording time edited and COVER added
// as its "Cover" picture, then "Write changes to all".
// read: each file of the folder read into the editor (Readtags); writetag:
// each of its first 200 files read, then written by "Write Tag" (only the
// write is timed, with the way back to the selection page it takes).
//
// no-journal: the window without its undo journal, the run journal.py's
// window figure is measured against.
#include "browser/filebrowser.h"
#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/editorpage.h"
#include "editor/picturepage.h"
#include "editor/renamerpage.h"
#include "editor/selectionpage.h"
#include "editor/tagprog1.h"
#include "journal/journal.h"
#include "services/programfolder.h"
#include "services/userdialogs.h"
#include "widgets/maskedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>

namespace {

// Says Yes to every question; any message is a failed benchmark.
class YesDialogs : public UserDialogs {
public:
    void message(QWidget*, const QString& text, const QString&, Icon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        std::exit(1);
    }
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    Unwritten askUnwritten(QWidget*, const QString&, const QString&) override {
        return Unwritten::Discard;
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openPicture(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&,
                     const QString&) override {
        return {};
    }
    bool launch(const QString&) override { return false; }
    void beep() override {}
};

// The longest time between two paints of a widget while it is watched.
class PaintGaps : public QObject {
public:
    explicit PaintGaps(QWidget* widget) { widget->installEventFilter(this); }
    void start() {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_paints = 0;
    }
    double longestMs() const {
        // The wait from the last paint to the end of the run counts too.
        return double(std::max(m_longest, m_clock.nsecsElapsed() - m_last)) / 1e6;
    }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_clock.isValid()) {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
            ++m_paints;
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0, m_longest = 0;
    int m_paints = 0;
};

// User and system time of the whole process so far, in seconds.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The clocks of one action: wall time and the process's CPU time.
struct Clocks {
    QElapsedTimer wall;
    double cpuAtStart = 0;
    void start() {
        cpuAtStart = cpuSeconds();
        wall.start();
    }
};

// Lets the window paint what it shows, as it has when the user clicks.
void settle() {
    waitFor([] { return false; }, 300);
}

void report(const char* action, const Clocks& clocks, int files, const PaintGaps* gaps) {
    const double seconds = double(clocks.wall.nsecsElapsed()) / 1e9;
    std::printf("{\"action\": \"%s\", \"seconds\": %.6f, \"cpu_seconds\": %.6f, \"files\": %d",
                action, seconds, cpuSeconds() - clocks.cpuAtStart, files);
    if (gaps)
        std::printf(", \"longest_paint_gap_ms\": %.3f, \"paints\": %d", gaps->longestMs(),
                    gaps->paints());
    std::printf("}\n");
}

QStringList mp3Files(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // "changes" takes the cover before the journal's switch.
    const bool changes = argc > 1 && std::strcmp(argv[1], "changes") == 0;
    const int fixed = changes ? 5 : 4;
    if (argc != fixed && !(argc == fixed + 1 && std::strcmp(argv[fixed], "no-journal") == 0)) {
        std::fprintf(stderr,
                     "usage: %s write|rename|add|open|read|writetag FOLDER PROGRAM_FOLDER "
                     "[no-journal]\n       %s changes FOLDER PROGRAM_FOLDER COVER [no-journal]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const QString action = QString::fromLocal8Bit(argv[1]);
    const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + '/';
    setProgramFolder(QString::fromLocal8Bit(argv[3]));

    YesDialogs dialogs;
    TForm1 form(dialogs);
    TForm2 form2(form.session(), &form);
    TForm3 form3(form.session(), &form);
    form.setDialogs(&form2, &form3);
    if (argc == fixed + 1) form.session().journal.reset();
    form.show();
    waitFor([&] { return form.isVisible(); }, 5000);
    SelectionPage* selection = form.selectionPage();
    Clocks clock;

    if (action == "write" || action == "rename" || action == "read" || action == "writetag" ||
        changes) {
        const QStringList names = mp3Files(folder);
        QList<SelectionList::Row> rows;
        for (const QString& name : names)
            rows.append({name, folder});
        form.session().selection.append(rows);
        if (action == "read" || action == "writetag") {
            const bool write = action == "writetag";
            const int n = write ? std::min(200, int(names.size())) : int(names.size());
            QElapsedTimer op;
            qint64 nanoseconds = 0;
            double cpu = 0;
            for (int i = 0; i < n; ++i) {
                form.session().selection.selectRow(i);
                if (write) form.Readtags();
                const double cpuBefore = cpuSeconds();
                op.start();
                if (write)
                    form.editorPage()->BitBtn19Click();
                else
                    form.Readtags();
                nanoseconds += op.nsecsElapsed();
                cpu += cpuSeconds() - cpuBefore;
            }
            std::printf("{\"action\": \"%s\", \"seconds\": %.6f, \"cpu_seconds\": %.6f, "
                        "\"files\": %d}\n",
                        qPrintable(action), double(nanoseconds) / 1e9, cpu, n);
            return 0;
        }
        if (changes) {
            form.session().selection.selectRow(0);
            form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(TForm1::ZuRurTab);
            EditorPage* editor = form.editorPage();
            form.findChild<QLineEdit*>("Edit3")->setText("Another album");
            form.findChild<DateMaskEdit*>("MaskEdit1")->setDateText("01.05.2026");
            ID3v24& tag = form.session().ID3v241;
            tag.SetPicture(std::string("Cover") + '\0', "Cover (front)",
                           std::string("image/jpeg") + '\0', argv[4], tag.Pictures().count() + 1);
            editor->pictures()->readpicture();
            settle();
            PaintGaps gaps(editor->ProgressBar1);
            auto* button = form.findChild<QAbstractButton*>("WriteChangesButton");
            gaps.start();
            clock.start();
            button->click();
            report("changes", clock, int(names.size()), &gaps);
        } else if (action == "write") {
            form.session().selection.selectRow(0);
            form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(TForm1::ZuRurTab);
            settle();
            PaintGaps gaps(form.findChild<QProgressBar*>("ProgressBar1"));
            auto* button = form.findChild<QAbstractButton*>("Button2");
            gaps.start();
            clock.start();
            button->click();
            report("write", clock, int(names.size()), &gaps);
        } else {
            RenamerPage* renamer = form.renamerPage();
            renamer->addTemplateRow("", "Track Num.", " - ");
            renamer->addTemplateRow("", "Title", "");
            form.findChild<QAbstractButton*>("ToolButton8")->click();
            settle();
            PaintGaps gaps(renamer->ProgressBar2);
            gaps.start();
            clock.start();
            renamer->Button1->click();
            report("rename", clock, int(names.size()), &gaps);
        }
        return 0;
    }

    FileBrowser* browser = selection->browser();
    QTreeView* view = browser->fileView();
    const int expected = int(mp3Files(folder).size());
    auto listed = [&] { return view->model()->rowCount(view->rootIndex()) == expected; };
    if (action == "open") {
        clock.start();
        browser->setFolder(folder);
        if (!waitFor(listed, 60000)) return 1;
        QCoreApplication::processEvents(); // the view laid out and painted
        report("open", clock, expected, nullptr);
        return 0;
    }
    if (action == "add") {
        browser->setFolder(folder);
        if (!waitFor(listed, 60000)) return 1;
        view->selectAll();
        settle();
        auto* add = form.findChild<QAbstractButton*>("BitBtn1");
        clock.start();
        add->click();
        QCoreApplication::processEvents(); // the list laid out and painted
        if (form.session().selection.rowCount() != expected) return 1;
        report("add", clock, expected, nullptr);
        return 0;
    }
    std::fprintf(stderr, "no action %s\n", argv[1]);
    return 2;
}
