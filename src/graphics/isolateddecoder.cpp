// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The window's side of quillet-picture: starts it, hands it the bytes, reads
// its answer within a deadline and a size limit, and always reaps it.
#include "graphics/isolateddecoder.h"

#include "graphics/decoders.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace graphics {

namespace {

using Clock = std::chrono::steady_clock;

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// A started helper is killed and reaped whichever way the decoding ends, so
// none is left running or as a zombie.
struct Helper {
    pid_t pid = -1;
    int status = 0;
    ~Helper() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        reap();
    }
    void reap() {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
    }
};

struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
};

// Beside the running program (the build tree, a program folder) or, for an
// installed program, in its libexec folder.
std::string workerPath() {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = n > 0 ? std::string(self, size_t(n)) : std::string();
    folder.erase(folder.rfind('/') + 1);
    const std::string beside = folder + apart::WorkerName;
    if (::access(beside.c_str(), X_OK) == 0) return beside;
    return folder + "../libexec/quillet/" + apart::WorkerName;
}

[[noreturn]] void helperFailed(const std::string& what) {
    throw DecodeError(what);
}

// The helper's answer as it arrives: the tag and sizes, or the reason of a
// failure, in head; a picture's pixels straight into the image.
class Answer {
public:
    // Where the next bytes read go, and how many may come there.
    std::pair<char*, size_t> space() {
        if (!m_image.isNull())
            return {reinterpret_cast<char*>(m_image.bits()) + m_filled, m_pixelBytes - m_filled};
        if (m_head.size() == MaxHead) helperFailed("the metafile reader's answer is too large");
        m_block.resize(size_t(MaxHead - m_head.size()));
        return {m_block.data(), m_block.size()};
    }
    void took(size_t n) {
        if (!m_image.isNull()) {
            m_filled += n;
            return;
        }
        m_head.append(m_block.data(), qsizetype(n));
        if (m_head[0] == apart::Picture && size_t(m_head.size()) >= apart::HeaderBytes)
            startPicture();
    }
    // The picture once the helper has ended well, or the error it gave.
    QImage result() {
        if (m_head.isEmpty()) helperFailed("the metafile reader gave no answer");
        if (m_head[0] == apart::Failure) throw DecodeError(m_head.mid(1).toStdString());
        if (size_t(m_head.size()) < apart::HeaderBytes)
            helperFailed("the metafile reader's answer is cut off");
        if (m_head[0] == apart::TooLarge) throw TooLargeError(int(number(1)), int(number(5)));
        if (m_head[0] != apart::Picture || m_filled != m_pixelBytes)
            helperFailed("the metafile reader's answer is damaged");
        return m_image;
    }

private:
    // Room for a reason or a header; a longer one is no answer of the helper's.
    static constexpr qsizetype MaxHead = 65536;

    uint32_t number(size_t at) const {
        uint32_t value;
        std::memcpy(&value, m_head.constData() + at, sizeof value);
        return value;
    }
    // The sizes are known: the pixels read with them, and all after them, go
    // into the image (rows of ARGB32 follow each other without gaps).
    void startPicture() {
        const uint32_t width = number(1), height = number(5);
        if (width == 0 || height == 0 || width > uint32_t(MaxMetafileSide) ||
            height > uint32_t(MaxMetafileSide))
            helperFailed("the metafile reader's answer is damaged");
        m_image = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
        if (m_image.isNull()) throw TooLargeError(int(width), int(height));
        m_pixelBytes = size_t(width) * height * 4;
        const size_t early = size_t(m_head.size()) - apart::HeaderBytes;
        if (early > m_pixelBytes) helperFailed("the metafile reader's answer is damaged");
        std::memcpy(m_image.bits(), m_head.constData() + apart::HeaderBytes, early);
        m_filled = early;
        m_head.truncate(qsizetype(apart::HeaderBytes));
    }

    QByteArray m_head;
    std::vector<char> m_block;
    QImage m_image;
    size_t m_pixelBytes = 0, m_filled = 0;
};

} // namespace

QImage decodeApart(const QByteArray& bytes, const char* kind) {
    return decodeApart(bytes, kind, workerPath());
}

QImage decodeApart(const QByteArray& bytes, const char* kind, int cancelFd) {
    return decodeApart(bytes, kind, workerPath(), cancelFd);
}

QImage decodeApart(const QByteArray& bytes, const char* kind, const std::string& path,
                   int cancelFd) {
    // The bytes go in through a socket: a send to a helper that has died fails
    // with EPIPE instead of raising SIGPIPE, which would end the window.
    int in[2], out[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0)
        throw HelperUnavailable(std::string("the metafile reader cannot start: ") +
                                std::strerror(errno));
    Fd toHelper(in[0]), helperIn(in[1]);
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw HelperUnavailable(std::string("the metafile reader cannot start: ") +
                                std::strerror(errno));
    Fd fromHelper(out[0]), helperOut(out[1]);

    SpawnActions spawn;
    posix_spawn_file_actions_adddup2(&spawn.actions, helperIn.fd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&spawn.actions, helperOut.fd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&spawn.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&spawn.actions, STDERR_FILENO + 1);
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(kind), nullptr};
    Helper helper;
    if (const int error =
            posix_spawn(&helper.pid, path.c_str(), &spawn.actions, nullptr, argv, environ);
        error != 0) {
        helper.pid = -1;
        throw HelperUnavailable("the metafile reader " + path +
                                " cannot start: " + std::strerror(error));
    }
    helperIn.reset();
    helperOut.reset();

    const auto deadline = Clock::now() + std::chrono::milliseconds(apart::DeadlineMilliseconds);
    // A large picture comes back in fewer, larger reads through a larger pipe.
    ::fcntl(fromHelper.fd, F_SETPIPE_SZ, 1 << 20);
    Answer answer;
    size_t sent = 0;
    const size_t size = size_t(bytes.size());
    for (;;) {
        if (toHelper.fd >= 0 && sent == size) toHelper.reset(); // the end of the input
        // The cancel pipe last: with the input done, its place is taken up.
        pollfd fds[3] = {
            {fromHelper.fd, POLLIN, 0}, {toHelper.fd, POLLOUT, 0}, {cancelFd, POLLIN, 0}};
        if (toHelper.fd < 0) std::swap(fds[1], fds[2]);
        const nfds_t watched = 1 + (toHelper.fd >= 0) + (cancelFd >= 0);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) helperFailed("drawing it takes too long");
        const int ready = ::poll(fds, watched, int(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            throw HelperUnavailable(std::string("the metafile reader cannot be waited for: ") +
                                    std::strerror(errno));
        if (ready <= 0) continue;
        if (cancelFd >= 0 && fds[watched - 1].revents) throw Cancelled();
        if (toHelper.fd >= 0 && fds[1].revents) {
            const ssize_t n =
                ::send(toHelper.fd, bytes.constData() + sent,
                       std::min(size - sent, size_t(1) << 20), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) sent += size_t(n);
            // A helper that stops reading has given up on the input; its
            // answer (or its end) tells why.
            else if (errno != EAGAIN && errno != EINTR)
                toHelper.reset();
        }
        if (fds[0].revents) {
            auto [to, room] = answer.space();
            // A picture complete: anything more is read to see that it is not there.
            char extra;
            if (room == 0) to = &extra, room = 1;
            const ssize_t n = ::read(fromHelper.fd, to, room);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                break;
            }
            if (to == &extra) helperFailed("the metafile reader's answer is damaged");
            answer.took(size_t(n));
        }
    }
    // The answer is complete once the helper has closed its output; it ends
    // right after, unless it is stuck in an exit handler.
    for (;;) {
        const pid_t done = ::waitpid(helper.pid, &helper.status, WNOHANG);
        if (done == helper.pid) break;
        if (done < 0) throw HelperUnavailable("the metafile reader cannot be waited for");
        if (Clock::now() >= deadline) helperFailed("drawing it takes too long");
        ::usleep(1000);
    }
    helper.pid = -1;
    if (WIFSIGNALED(helper.status))
        helperFailed(WTERMSIG(helper.status) == SIGXCPU ? "drawing it takes too long"
                                                        : "the metafile reader failed on it");
    if (!WIFEXITED(helper.status) || WEXITSTATUS(helper.status) != 0)
        helperFailed("the metafile reader failed on it");
    return answer.result();
}

} // namespace graphics
