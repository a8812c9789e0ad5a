// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/albumwrite.h"

#include "journal/recording.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/selectionrun.h"
#include "session/session.h"
#include "tagfile/tagchanges.h"
#include "tagfile/tagfile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <stdexcept>

AlbumWrite::AlbumWrite(Session& session, QWidget* parent) : m_session(session), m_parent(parent) {}

AlbumWrite::~AlbumWrite() = default;

bool AlbumWrite::run(const std::vector<Target>& targets, QProgressBar* bar, QLabel* label) {
    QStringList paths;
    for (const Target& t : targets)
        paths << t.path;
    const auto loss = lossAccepted(m_session, m_parent, paths);
    if (!loss) return false;
    // Each file's own pictures go to a folder of the run's own: the editor's
    // pictures in the picture folder, which the changes may name, stay.
    QTemporaryDir pictures(m_session.TempFolder + QStringLiteral("run-XXXXXX"));
    if (!pictures.isValid())
        throw std::runtime_error("No folder for the pictures of the files: " +
                                 pictures.errorString().toStdString());
    const std::string folder = nativePath(pictures.path() + QLatin1Char('/'));
    SelectionRun run(m_session, bar, label, journal::Kind::Write);
    const int n = int(targets.size());
    for (int i = 0; i < n && !run.stopRequested(); ++i) {
        const std::string path = nativePath(targets[size_t(i)].path);
        try {
            tagfile::writeChanges(*targets[size_t(i)].changes, m_tag, path, folder, run.recording(),
                                  *loss);
        } catch (const std::exception& e) {
            // The error box says which file the run stopped at.
            throw std::runtime_error(path + ":\n" + e.what());
        }
        ++m_written;
        run.fileDone(i + 1, n);
    }
    run.finish();
    return true;
}

std::optional<writetag::Loss> AlbumWrite::lossAccepted(Session& session, QWidget* parent,
                                                       const QStringList& paths) {
    constexpr int Listed = 12;
    QString list;
    int files = 0;
    for (const QString& path : paths) {
        std::vector<std::string> frames;
        try {
            frames = tagfile::losses(nativePath(path));
        } catch (const std::exception&) {
            continue; // the write reports what keeps it from the file
        }
        if (frames.empty() || ++files > Listed) continue;
        QStringList ids;
        for (const std::string& id : frames)
            ids << QString::fromStdString(id);
        list += QFileInfo(path).fileName() + QStringLiteral(": ") + ids.join(QStringLiteral(", ")) +
                QLatin1Char('\n');
    }
    if (files == 0) return writetag::Loss::Refuse;
    if (files > Listed) list += QStringLiteral("and %1 more files\n").arg(files - Listed);
    const QString text = QStringLiteral("These frames cannot be kept in an ID3v2.4 tag and would "
                                        "be lost:\n\n") +
                         list + QStringLiteral("\nDo you want to write all the same?");
    if (!session.dialogs().question(parent, text, QStringLiteral("Caution"))) return std::nullopt;
    return writetag::Loss::Allow;
}
