// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/undo.h"

#include "io/filestat.h"
#include "io/ioerror.h"
#include "io/noreplace.h"
#include "journal/state.h"

#include <cerrno>
#include <dirent.h>
#include <sys/file.h>
#include <unistd.h>

namespace journal {

namespace {

// The name in folder of the file with this identity, "" when there is none.
std::string findByIdentity(const std::string& folder, uint64_t device, uint64_t inode) {
    if (folder.empty()) return {}; // a trashed file is named by its whole path
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_ino != inode) continue;
        try {
            const FileStat s = io::linkStatOf(folder + e->d_name);
            if (s.device == device && s.inode == inode) {
                found = e->d_name;
                break;
            }
        } catch (const io::IoError&) {
        }
    }
    ::closedir(dir);
    return found;
}

bool accessDenied(int code) {
    return code == EACCES || code == EPERM || code == EROFS;
}

// A file taken back out of the trash (…/files/name) leaves no note of its
// origin (…/info/name.trashinfo) behind.
void forgetTrashInfo(const std::string& trashPath) {
    const size_t slash = trashPath.rfind('/');
    const size_t files = slash == std::string::npos ? slash : trashPath.rfind('/', slash - 1);
    if (files == std::string::npos || trashPath.compare(files, slash - files, "/files") != 0)
        return;
    const std::string info =
        trashPath.substr(0, files) + "/info/" + trashPath.substr(slash + 1) + ".trashinfo";
    ::unlink(info.c_str());
}

} // namespace

Undo::Undo(Journal& journal) : m_journal(journal) {
    const auto files = journal.files();
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        if (it->state == ActionFile::State::Damaged) continue;
        if (!it->regular) {
            journal.ignored(*it, "not a regular file");
            continue;
        }
        // Being recorded or undone (or cut short, and not recovered yet).
        if (it->state == ActionFile::State::Open) {
            m_newerInUse = true;
            continue;
        }
        std::optional<io::File> file;
        try {
            file = io::openRegular(it->path, io::File::Mode::ReadWrite);
        } catch (const io::IoError& e) {
            if (e.code() == ENOENT) continue; // dropped meanwhile
            throw;
        }
        if (!file) {
            journal.ignored(*it, "not a regular file");
            continue;
        }
        if (::flock(file->fd(), LOCK_EX | LOCK_NB) != 0) {
            m_newerInUse = true;
            continue;
        }
        try {
            Action action = readAction(*file, false);
            action.sequence = it->sequence;
            if (action.undone()) {
                notePutBack(action);
                continue;
            }
            verifyBlobs(*file, action);
            for (size_t i = action.entries.size(); i-- > 0;)
                if (action.pending(i)) m_order.push_back(static_cast<uint32_t>(i));
            notePutBack(action);
            m_action = std::move(action);
            m_actionFile = *it;
            m_file = std::move(*file);
            return;
        } catch (const OtherVersion& e) {
            // Another program's to undo.
            journal.ignored(*it, e.what());
        } catch (const Damaged& e) {
            // The newest action cannot be undone, and no other may be undone
            // in its place: it is set aside, and the next undo takes the one
            // before it.
            journal.ignored(*it, std::string(e.what()) + "; set aside, nothing was undone");
            file = std::nullopt;
            journal.setAside(*it);
            return;
        }
    }
}

Undo::~Undo() {
    try {
        finish();
    } catch (const std::exception&) {
        // Reported by the run that called finish(), if any.
    }
}

void Undo::notePutBack(const Action& action) {
    for (size_t i = action.entries.size(); i-- > 0;) {
        const Mark& m = action.marks[i];
        // The first format kept no identity.
        if (m.how == Mark::How::PutBack && (m.device != 0 || m.inode != 0))
            m_expected[pathBefore(action.entries[i])] = {m.device, m.inode};
    }
}

Step Undo::next() {
    if (!m_opened) {
        // Open while files change: a crash from here on leaves an action the
        // recovery finishes.
        io::renameNoReplace(m_actionFile.path,
                            m_journal.folder() +
                                actionFileName(m_actionFile.sequence, ActionFile::State::Open));
        m_opened = true;
    }
    const uint32_t i = m_order[m_next++];
    const Entry& entry = m_action->entries[i];
    if (const auto* c = std::get_if<Change>(&entry)) return undoChange(i, *c);
    return undoRename(i, std::get<Rename>(entry));
}

Step Undo::leftAlone(std::string path) {
    // With a newer action in another run's hands, the file may yet come back
    // to what this action left: it stays to be undone. Otherwise someone else
    // changed it, and it is passed for good.
    if (m_newerInUse)
        return {std::move(path), {}, Outcome::ChangedSince, std::string(BusyMessage), true};
    return {std::move(path), {}, Outcome::ChangedSince, std::string(ChangedSinceMessage), false};
}

Step Undo::putBack(uint32_t entry, const std::string& path, Outcome outcome, Identity identity) {
    m_marks.push_back({entry, {Mark::How::PutBack, identity.first, identity.second}});
    m_expected[pathBefore(m_action->entries[entry])] = identity;
    return {path, {}, outcome, {}};
}

Step Undo::undoChange(uint32_t entry, const Change& c) {
    Step step = [&]() -> Step {
        try {
            // The file that must be there: the one an undo of a newer action
            // put back, else the one this action left, else (a moving write
            // whose after-record was lost) one on the same device.
            std::optional<Identity> expected;
            if (auto it = m_expected.find(c.path); it != m_expected.end())
                expected = it->second;
            else if (c.after)
                expected = Identity{c.after->stat.device, c.after->stat.inode};
            else if (c.inPlace())
                expected = Identity{c.before.device, c.before.inode};
            FileStat now;
            bool writable = true;
            std::optional<io::File> file;
            try {
                file = io::openRegular(c.path, io::File::Mode::ReadWrite, &now);
            } catch (const io::IoError& e) {
                if (!accessDenied(e.code())) throw;
                writable = false;
                file = io::openRegular(c.path, io::File::Mode::Read, &now);
            }
            if (!file || now.device != c.before.device ||
                (expected && Identity{now.device, now.inode} != *expected))
                return leftAlone(c.path);
            const std::vector<uint8_t> old = oldRegion(c, *m_action, m_file, m_keys);
            const auto state = findState(*file, now.size, c, old, m_keys);
            if (!state) return leftAlone(c.path);
            if (state->old()) {
                // A file the action never got to, or one put back by an undo
                // that ended before its time: only the time may be the undo's.
                if (now.mtime != c.before.mtime && writable) setModified(*file, c.before.mtime);
                return putBack(entry, c.path, Outcome::AsBefore, {now.device, now.inode});
            }
            if (c.after) {
                const Image head = c.after->headNew ? Image::New : Image::Old;
                const Image trailer =
                    c.after->trailerNew && c.trailerTouched ? Image::New : Image::Old;
                // A part is what the action left, or on its way back from it
                // (an undo cut short); anything else is someone else's.
                auto fits = [](Image now, Image left) {
                    return now == left || (left == Image::New && now != Image::New);
                };
                if (*state == State{head, trailer}) {
                    if (now.size != c.after->stat.size || now.mtime != c.after->stat.mtime)
                        return leftAlone(c.path);
                } else if (!fits(state->head, head) || !fits(state->trailer, trailer)) {
                    return leftAlone(c.path);
                }
            }
            // Refused as a plain write would be: a file the user made
            // read-only is not replaced behind its back.
            if (!writable) throw io::IoError(EACCES);
            const FileStat back = restoreOld(c, *file, now.size, *state, old);
            return putBack(entry, c.path, Outcome::Restored, {back.device, back.inode});
        } catch (const io::IoError& e) {
            if (e.code() == ENOENT) return leftAlone(c.path);
            return {c.path, {}, Outcome::Failed, e.what(), true};
        } catch (const Damaged& e) {
            return {c.path, {}, Outcome::Failed, e.what(), true};
        }
    }();
    if (step.outcome == Outcome::ChangedSince && !step.undoable)
        m_marks.push_back({entry, {Mark::How::Passed, 0, 0}});
    return step;
}

Step Undo::undoRename(uint32_t entry, const Rename& r) {
    const std::string path = r.folder + (r.newName ? *r.newName : r.oldName);
    Identity expected{r.device, r.inode};
    if (auto it = m_expected.find(path); r.newName && it != m_expected.end()) expected = it->second;
    auto holds = [&](const std::string& name) {
        try {
            const FileStat s = io::linkStatOf(r.folder + name);
            return Identity{s.device, s.inode} == expected;
        } catch (const io::IoError&) {
            return false;
        }
    };
    // Without its after-record (a crash right after the rename), the file is
    // found by its identity in its folder.
    std::string current;
    if (r.newName)
        current = holds(*r.newName) ? *r.newName : std::string();
    else
        current = findByIdentity(r.folder, expected.first, expected.second);
    Step step;
    if (current.empty()) {
        step =
            holds(r.oldName) ? putBack(entry, path, Outcome::AsBefore, expected) : leftAlone(path);
    } else if (current == r.oldName) {
        step = putBack(entry, path, Outcome::AsBefore, expected);
    } else {
        try {
            io::renameNoReplace(r.folder + current, r.folder + r.oldName);
            if (m_action->kind == Kind::Trash) forgetTrashInfo(current);
            step = putBack(entry, r.folder + current, Outcome::Restored, expected);
            step.restored = r.folder + r.oldName;
        } catch (const io::IoError& e) {
            // The old name taken by another file meanwhile: it is never replaced.
            if (e.code() == EEXIST)
                step = leftAlone(r.folder + current);
            else
                step = {r.folder + current, {}, Outcome::Failed, e.what(), true};
        }
    }
    if (step.outcome == Outcome::ChangedSince && !step.undoable)
        m_marks.push_back({entry, {Mark::How::Passed, 0, 0}});
    return step;
}

bool Undo::finish() {
    if (!m_action || !m_file.isOpen()) return m_action && m_action->undone();
    if (!m_marks.empty()) {
        // A tail cut short by a crash goes first: the new record must follow
        // whole records only.
        if (m_file.size() > m_action->validEnd) m_file.truncate(m_action->validEnd);
        std::vector<uint8_t> record;
        const auto payload = encodeUndone(now(), m_marks);
        frame(record, m_action->validEnd, RecordType::Undone, payload, payload.size());
        m_file.writeAt(record.data(), record.size(), m_action->validEnd);
        m_file.sync();
        m_action->validEnd += record.size();
        for (const auto& [entry, mark] : m_marks)
            m_action->marks[entry] = mark;
        m_marks.clear();
    }
    if (m_opened) {
        io::renameNoReplace(m_journal.folder() +
                                actionFileName(m_actionFile.sequence, ActionFile::State::Open),
                            m_actionFile.path);
        m_opened = false;
    }
    m_file.close();
    return m_action->undone();
}

} // namespace journal
