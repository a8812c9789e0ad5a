// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// What decoding a metafile in quillet-picture costs per preview, against
// decoding it in the window's own process. Run by hand:
//   cmake --build build --target preview-bench && build/bin/preview-bench [ROUNDS] [FILE...]
// Without files it takes the metafile seeds of the fuzz targets. Each round
// decodes every file once each way, alternating which way goes first; the
// medians of the per-file times are printed side by side with their ratio.
#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class Decode> double millisecondsOf(Decode&& decode) {
    const auto start = Clock::now();
    const QImage image = decode();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (image.isNull()) std::abort();
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QStringList files;
    for (int i = 2; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
    if (files.isEmpty())
        for (const char* kind : {"wmf", "emf"})
            for (const QFileInfo& f : QDir(QStringLiteral(QUILLET_SEEDS "/") + QLatin1String(kind))
                                          .entryInfoList(QDir::Files))
                files << f.filePath();

    std::printf("%-48s %12s %12s %8s\n", "file (median of rounds)", "in-process", "apart", "ratio");
    std::vector<double> ratios;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return 1;
        const QByteArray bytes = file.readAll();
        // By the extension, or for the seeds (no extension) by their folder.
        const QFileInfo info(path);
        const QString named = info.suffix().isEmpty() ? info.dir().dirName() : info.suffix();
        const QByteArray kind = named.toLower().toLatin1();
        if (kind != "wmf" && kind != "emf") continue;
        auto inProcess = [&] {
            return kind == "emf" ? graphics::decodeEmf(bytes) : graphics::decodeWmf(bytes);
        };
        auto apart = [&] { return graphics::decodeApart(bytes, kind.constData()); };
        std::vector<double> here, there;
        try {
            // One untimed round each way: fonts and the program's pages loaded.
            inProcess();
            apart();
            for (int r = 0; r < rounds; ++r) {
                if (r % 2) here.push_back(millisecondsOf(inProcess));
                there.push_back(millisecondsOf(apart));
                if (!(r % 2)) here.push_back(millisecondsOf(inProcess));
            }
        } catch (const graphics::DecodeError& e) {
            std::printf("%-48s not a picture: %s\n", qPrintable(path.right(48)), e.what());
            continue;
        }
        const double a = median(here), b = median(there);
        ratios.push_back(b / a);
        std::printf("%-48s %10.2fms %10.2fms %7.1fx\n", qPrintable(path.right(48)), a, b, b / a);
    }
    if (!ratios.empty()) std::printf("median ratio, apart / in-process: %.1fx\n", median(ratios));
    return 0;
}
