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

uint32_t numberAt(const QByteArray& answer, size_t at) {
    uint32_t value;
    std::memcpy(&value, answer.constData() + at, sizeof value);
    return value;
}

QImage pictureFrom(const QByteArray& answer) {
    if (answer.isEmpty()) helperFailed("the metafile reader gave no answer");
    const char tag = answer[0];
    if (tag == apart::Failure) throw DecodeError(answer.mid(1).toStdString());
    if (size_t(answer.size()) < apart::HeaderBytes)
        helperFailed("the metafile reader's answer is cut off");
    const uint32_t width = numberAt(answer, 1), height = numberAt(answer, 5);
    if (tag == apart::TooLarge) throw TooLargeError(int(width), int(height));
    const uint64_t bytes = uint64_t(width) * height * 4;
    if (tag != apart::Picture || width == 0 || height == 0 || width > uint32_t(MaxMetafileSide) ||
        height > uint32_t(MaxMetafileSide) || answer.size() - apart::HeaderBytes != bytes)
        helperFailed("the metafile reader's answer is damaged");
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) throw TooLargeError(int(width), int(height));
    const char* pixels = answer.constData() + apart::HeaderBytes;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), pixels + size_t(y) * width * 4, size_t(width) * 4);
    return image;
}

} // namespace

QImage decodeApart(const QByteArray& bytes, const char* kind) {
    return decodeApart(bytes, kind, workerPath());
}

QImage decodeApart(const QByteArray& bytes, const char* kind, const std::string& path) {
    // The bytes go in through a socket: a send to a helper that has died fails
    // with EPIPE instead of raising SIGPIPE, which would end the window.
    int in[2], out[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0)
        helperFailed(std::string("the metafile reader cannot start: ") + std::strerror(errno));
    Fd toHelper(in[0]), helperIn(in[1]);
    if (::pipe2(out, O_CLOEXEC) != 0)
        helperFailed(std::string("the metafile reader cannot start: ") + std::strerror(errno));
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
        helperFailed("the metafile reader " + path + " cannot start: " + std::strerror(error));
    }
    helperIn.reset();
    helperOut.reset();

    const size_t limit = apart::HeaderBytes + size_t(MaxMetafileSide) * MaxMetafileSide * 4;
    const auto deadline = Clock::now() + std::chrono::milliseconds(apart::DeadlineMilliseconds);
    QByteArray answer;
    size_t sent = 0;
    const size_t size = size_t(bytes.size());
    char block[65536];
    for (;;) {
        if (toHelper.fd >= 0 && sent == size) toHelper.reset(); // the end of the input
        pollfd fds[2] = {{fromHelper.fd, POLLIN, 0}, {toHelper.fd, POLLOUT, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) helperFailed("drawing it takes too long");
        const int ready = ::poll(fds, toHelper.fd >= 0 ? 2 : 1, int(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            helperFailed(std::string("the metafile reader cannot be waited for: ") +
                         std::strerror(errno));
        if (ready <= 0) continue;
        if (fds[1].revents) {
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
            const ssize_t n = ::read(fromHelper.fd, block, sizeof block);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                break;
            }
            if (size_t(answer.size()) + size_t(n) > limit)
                helperFailed("the metafile reader's answer is too large");
            answer.append(block, n);
        }
    }
    // The answer is complete once the helper has closed its output; it ends
    // right after, unless it is stuck in an exit handler.
    for (;;) {
        const pid_t done = ::waitpid(helper.pid, &helper.status, WNOHANG);
        if (done == helper.pid) break;
        if (done < 0) helperFailed("the metafile reader cannot be waited for");
        if (Clock::now() >= deadline) helperFailed("drawing it takes too long");
        ::usleep(1000);
    }
    helper.pid = -1;
    if (WIFSIGNALED(helper.status))
        helperFailed(WTERMSIG(helper.status) == SIGXCPU ? "drawing it takes too long"
                                                        : "the metafile reader failed on it");
    if (!WIFEXITED(helper.status) || WEXITSTATUS(helper.status) != 0)
        helperFailed("the metafile reader failed on it");
    return pictureFrom(answer);
}

} // namespace graphics
