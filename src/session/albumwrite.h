// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/writetag.h"
#include "tagengine/zurur24.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QLabel;
class QProgressBar;
class QWidget;
class Session;

namespace tagfile {
class TagChanges;
struct Dropped;
} // namespace tagfile

// Writes into several files what each is to get and nothing else: what the
// user changed in the editor, the fields the files' names give, the track
// numbers. Each file keeps every other value, list entry and frame of its
// own. One run of the session (locked, journaled as one action, shown on a
// bar and an "i of n" label, stopped after the file in hand), written in
// batches as "Write for all" is; its first error ends it, the file's path
// before the message, and the files before stay written.
class AlbumWrite {
public:
    struct Target {
        QString path;
        const tagfile::TagChanges* changes;
    };

    AlbumWrite(Session& session, QWidget* parent);
    ~AlbumWrite();

    // Asks before frames the files hold that a write cannot keep, then writes
    // each target in turn. False when the user said No: nothing is written.
    bool run(const std::vector<Target>& targets, QProgressBar* bar, QLabel* label);
    // The targets written so far, also after an error.
    int written() const { return m_written; }

    // Names the frames of the files' tags a write could not keep and asks
    // whether to write all the same: nothing when the user says No, the loss
    // the writes may take otherwise. What the writes planned in a batch drop
    // is known (by index into paths); the files from index next on are read
    // for it.
    static std::optional<writetag::Loss>
    lossAccepted(Session& session, QWidget* parent, const QStringList& paths,
                 const std::vector<tagfile::Dropped>& known = {}, size_t next = 0);

private:
    Session& m_session;
    QWidget* m_parent;
    // Each file is read into a component of the run's own, so that the
    // editor's model stays what the editor shows.
    ID3v24 m_tag;
    int m_written = 0;
};
