// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
//
// The window's "Write for all" killed in the middle: a window of its own (this
// program again, running the one test below that is never run by itself) is
// killed at random instants of its run. The next start of the window
// recovers the run and says so once; every file is whole, old or new, and
// Undo gives back every file byte for byte.
#include "windowfixture.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;

namespace {

constexpr const char* RunFolder = "QUILLET_WRITE_FOR_ALL_IN";
constexpr int Songs = 6;

std::string songName(int i) {
    return "song" + std::to_string(i) + ".mp3";
}

// A window on the program folder and the songs of the folder it is given.
class WindowRun : public WindowFixture {
protected:
    std::string folder;
    void SetUp() override {
        if (const char* given = std::getenv(RunFolder)) folder = given;
        if (folder.empty()) folder = dir.path();
        setProgramFolder(QString::fromStdString(folder + "program/"));
        start();
    }
    void addRows() {
        for (int i = 0; i < Songs; ++i)
            selectionList()->append(QString::fromStdString(songName(i)),
                                    QString::fromStdString(folder));
    }
};

// The window killed: it writes a new title into every song.
TEST_F(WindowRun, DISABLED_WriteForAll) {
    addRows();
    edit(0);
    widget<QLineEdit>("Edit1")->setText("Written for all");
    dialogs.answers = {true};
    click("Button2");
}

// Starts the run above in a process of its own.
pid_t startRun(const std::string& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::setenv(RunFolder, folder.c_str(), 1);
        const std::string self = QCoreApplication::applicationFilePath().toStdString();
        ::execl(self.c_str(), self.c_str(), "--gtest_also_run_disabled_tests",
                "--gtest_filter=WindowRun.DISABLED_WriteForAll", nullptr);
        ::_exit(127);
    }
    return child;
}

// Waits until the song at path has its new title (at its start); false when
// the run ended first.
bool rewritten(const std::string& path, const Bytes& old, pid_t child) {
    for (Bytes start(64);;) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        const bool read = ::pread(fd, start.data(), start.size(), 0) == 64;
        ::close(fd);
        if (read && !std::equal(start.begin(), start.end(), old.begin())) return true;
        siginfo_t ended{};
        if (::waitid(P_PID, child, &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == child)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

TEST_F(WindowRun, KilledInTheMiddleOfWriteForAllTheNextStartRecovers) {
    const Bytes song =
        tag24(frame24("TIT2", latin1("Old")) + frame24("PRIV", repeat(7, 1 << 20)), 8192) +
        audio(8192) + bytes("TAG") + repeat(0, 125);
    std::vector<Bytes> written(Songs);
    std::chrono::steady_clock::duration span{};
    std::mt19937 random(20261208);
    int told = 0;
    for (int round = 0; round <= 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // The songs as they were, the journal empty, and no window on it.
        form.reset();
        std::filesystem::remove_all(folder + "program");
        for (int i = 0; i < Songs; ++i)
            writeFile(folder + songName(i), song);
        const pid_t child = startRun(folder);
        // The edited song is written first, the last row last.
        const bool writing = rewritten(folder + songName(0), song, child);
        const auto started = std::chrono::steady_clock::now();
        // Round 0 runs whole: what it writes, and how long its writes take.
        if (round == 0 && rewritten(folder + songName(Songs - 1), song, child))
            span = std::chrono::steady_clock::now() - started;
        if (round > 0 && writing) {
            std::this_thread::sleep_for(span * std::uniform_int_distribution<int>(0, 999)(random) /
                                        1000);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (round == 0) {
            ASSERT_TRUE(writing && status == 0);
            for (int i = 0; i < Songs; ++i)
                written[i] = readFile(folder + songName(i));
            continue;
        }
        // The next start: at most one box, every song old or new.
        dialogs.messages.clear();
        start();
        settle();
        ASSERT_LE(dialogs.messages.size(), 1u);
        told += int(dialogs.messages.size());
        for (int i = 0; i < Songs; ++i) {
            const Bytes now = readFile(folder + songName(i));
            EXPECT_TRUE(now == song || now == written[i]) << songName(i) << " is mixed";
        }
        dialogs.answers = {true};
        click("UndoButton");
        for (int i = 0; i < Songs; ++i)
            EXPECT_TRUE(readFile(folder + songName(i)) == song) << songName(i) << " is not back";
    }
    RecordProperty("recoveries told", told);
}

} // namespace
