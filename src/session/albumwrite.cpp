// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/albumwrite.h"

#include "journal/recording.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/selectionrun.h"
#include "session/session.h"
#include "tagfile/batch.h"
#include "tagfile/tagchanges.h"
#include "tagfile/tagfile.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <stdexcept>

AlbumWrite::AlbumWrite(Session& session, QWidget* parent) : m_session(session), m_parent(parent) {}

AlbumWrite::~AlbumWrite() = default;

bool AlbumWrite::run(const std::vector<Target>& targets, QProgressBar* bar, QLabel* label) {
    QStringList paths;
    for (const Target& t : targets)
        paths << t.path;
    SelectionRun run(m_session, bar, label, journal::Kind::Write);
    const int n = int(targets.size());
    const auto named = [&](size_t i, const std::exception& e) {
        // The error box says which file the run stopped at.
        return std::runtime_error(nativePath(targets[i].path) + ":\n" + e.what());
    };
    // The files are planned a batch at a time, each read once (its pictures
    // held in memory), and written once the journal holds the batch.
    size_t failed = 0;
    int planned = 0;
    bool stoppedBefore = false;
    tagfile::Batch batch(run.recording(),
                         [&](size_t index, std::exception_ptr error) {
                             if (error)
                                 failed = index;
                             else
                                 ++m_written;
                         },
                         {.stopAtError = true,
                          .stopRequested =
                              [&] {
                                  run.fileDone(planned, n);
                                  return !stoppedBefore && run.stopRequested();
                              },
                          .approve =
                              [&](const std::vector<tagfile::Dropped>& dropped, size_t next) {
                                  return lossAccepted(m_session, m_parent, paths, dropped, next);
                              }});
    const auto flush = [&] {
        try {
            batch.flush();
        } catch (const std::exception& e) {
            throw named(failed, e);
        }
    };
    try {
        for (int i = 0; i < n && !run.stopRequested(); ++i) {
            const tagfile::TagChanges& changes = *targets[size_t(i)].changes;
            Id3v1 trailer;
            try {
                batch.planWrite(m_tag, nativePath(targets[size_t(i)].path),
                                changes.touchesTrailer() ? &trailer : nullptr, {}, size_t(i),
                                [&](ID3v24& tag, Id3v1& v1) { changes.applyTo(tag, v1); });
            } catch (const std::exception& e) {
                flush(); // the files before it are done
                throw named(size_t(i), e);
            }
            planned = i + 1;
            run.fileDone(planned, n);
        }
        stoppedBefore = run.stopRequested();
        flush();
    } catch (const tagfile::Declined&) {
        return false;
    }
    // The count shows the files written, also after a stop.
    if (m_written < planned) run.fileDone(m_written, n);
    run.finish();
    return true;
}

std::optional<writetag::Loss> AlbumWrite::lossAccepted(Session& session, QWidget* parent,
                                                       const QStringList& paths,
                                                       const std::vector<tagfile::Dropped>& known,
                                                       size_t next) {
    constexpr int Listed = 12;
    QString list;
    int files = 0;
    const auto add = [&](const QString& path, const std::vector<std::string>& frames) {
        if (frames.empty() || ++files > Listed) return;
        QStringList ids;
        for (const std::string& id : frames)
            ids << QString::fromStdString(id);
        list += QFileInfo(path).fileName() + QStringLiteral(": ") + ids.join(QStringLiteral(", ")) +
                QLatin1Char('\n');
    };
    for (const tagfile::Dropped& d : known)
        add(paths[qsizetype(d.index)], d.frames);
    for (qsizetype i = qsizetype(next); i < paths.size(); ++i) {
        try {
            add(paths[i], tagfile::losses(nativePath(paths[i])));
        } catch (const std::exception&) {
            // the write reports what keeps it from the file
        }
    }
    if (files == 0) return writetag::Loss::Refuse;
    if (files > Listed) list += QStringLiteral("and %1 more files\n").arg(files - Listed);
    const QString text = QStringLiteral("These frames cannot be kept in an ID3v2.4 tag and would "
                                        "be lost:\n\n") +
                         list + QStringLiteral("\nDo you want to write all the same?");
    // The question comes in the middle of a run: the pointer shows it may be answered.
    QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    const bool yes = session.dialogs().question(parent, text, QStringLiteral("Caution"));
    QApplication::restoreOverrideCursor();
    if (!yes) return std::nullopt;
    return writetag::Loss::Allow;
}
