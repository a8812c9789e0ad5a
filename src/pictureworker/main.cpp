// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-picture: decodes one metafile read from standard input and writes the
// picture, or why there is none, to standard output (graphics/isolateddecoder.h).
// Whatever a damaged file makes libwmf or libemf2svg do, it does it here, within
// the limits set below, and the window only sees this process end.
#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLET_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLET_ADDRESS_SANITIZER 1
#endif
#endif

using namespace graphics;

namespace {

void limit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit value{soft, hard};
    setrlimit(resource, &value);
}

// Time and memory, and no core dumped on a crash. The sanitizers reserve
// terabytes of address space, so a sanitizer build keeps it.
void limitResources() {
    limit(RLIMIT_CPU, apart::CpuSeconds, apart::CpuSeconds + 1);
#ifndef QUILLET_ADDRESS_SANITIZER
    limit(RLIMIT_AS, apart::AddressSpaceBytes, apart::AddressSpaceBytes);
#endif
    limit(RLIMIT_CORE, 0, 0);
}

bool writeAll(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(STDOUT_FILENO, p, size);
        if (n <= 0) return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool answer(apart::Tag tag, uint32_t width, uint32_t height) {
    char header[apart::HeaderBytes] = {tag};
    std::memcpy(header + 1, &width, sizeof width);
    std::memcpy(header + 1 + sizeof width, &height, sizeof height);
    return writeAll(header, sizeof header);
}

bool answerFailure(const char* why) {
    const char t = apart::Failure;
    return writeAll(&t, 1) && writeAll(why, std::strlen(why));
}

QByteArray readInput() {
    QByteArray bytes;
    char block[65536];
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, block, sizeof block);
        if (n == 0) return bytes;
        if (n < 0) throw DecodeError("the picture cannot be read");
        if (uint64_t(bytes.size()) + uint64_t(n) > apart::MaxInputBytes)
            throw DecodeError("the file is too large");
        bytes.append(block, n);
    }
}

int run(int argc, char** argv) {
    // The SVG that both metafiles become can be drawn alone, for the replays.
    const struct {
        const char* kind;
        QImage (*decode)(const QByteArray&);
    } decoders[] = {{"wmf", decodeWmf}, {"emf", decodeEmf}, {"svg", renderSvg}};
    QImage (*decode)(const QByteArray&) = nullptr;
    for (const auto& d : decoders)
        if (argc == 2 && std::strcmp(argv[1], d.kind) == 0) decode = d.decode;
    if (!decode) {
        std::fprintf(stderr, "usage: quillet-picture wmf|emf|svg < PICTURE > ANSWER\n");
        return 2;
    }
    try {
        const QByteArray bytes = readInput();
        // Fonts for the text of drawings need an application object; no window
        // is shown and no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        const QImage image = decode(bytes).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) throw std::bad_alloc();
        if (!answer(apart::Picture, uint32_t(image.width()), uint32_t(image.height()))) return 1;
        for (int y = 0; y < image.height(); ++y)
            if (!writeAll(image.constScanLine(y), size_t(image.width()) * 4)) return 1;
    } catch (const TooLargeError& e) {
        answer(apart::TooLarge, uint32_t(e.width), uint32_t(e.height));
    } catch (const DecodeError& e) {
        answerFailure(e.what());
    } catch (const std::bad_alloc&) {
        answerFailure("out of memory");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    limitResources();
    return run(argc, argv);
}
