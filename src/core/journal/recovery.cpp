// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/recovery.h"

#include "io/filestat.h"
#include "io/ioerror.h"
#include "io/noreplace.h"
#include "io/replacement.h"
#include "journal/state.h"

#include <cerrno>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace journal {

namespace {

std::string filesText(size_t n) {
    return std::to_string(n) + (n == 1 ? " file" : " files");
}

class ActionRecovery {
public:
    ActionRecovery(Action& action, io::File& file, Recovery& out)
        : m_action(action), m_file(file), m_out(out) {}

    // Brings the file of each change still to be undone to one whole image.
    void changes() {
        for (size_t i = 0; i < m_action.entries.size(); ++i)
            if (const auto* c = std::get_if<Change>(&m_action.entries[i]); c && m_action.pending(i))
                change(static_cast<uint32_t>(i), *c);
    }

    // Appends what was found, and the end of a run that had none.
    void close() {
        if (!m_marks.empty()) add(RecordType::Undone, encodeUndone(now(), m_marks));
        if (!m_action.ended) add(RecordType::End, encodeEnd(uint32_t(m_action.entries.size())));
        if (m_records.empty()) return;
        m_file.writeAt(m_records.data(), m_records.size(), m_action.validEnd);
        m_file.sync();
    }

private:
    void add(RecordType type, const std::vector<uint8_t>& payload) {
        frame(m_records, m_action.validEnd + m_records.size(), type, payload, payload.size());
    }
    void report(const Change& c, Recovered::How how, std::string message = {}) {
        m_out.files.push_back({c.path, how, std::move(message)});
    }
    void withdraw(uint32_t i) {
        add(RecordType::Withdrawn, encodeWithdrawn(i));
        m_action.marks[i].how = Mark::How::Withdrawn;
    }

    void change(uint32_t i, const Change& c) {
        try {
            FileStat now;
            auto file = io::openRegular(c.path, io::File::Mode::ReadWrite, &now);
            if (!file || now.device != c.before.device) {
                report(c, Recovered::How::ChangedSince);
                return;
            }
            const auto old = oldRegion(c, m_action, m_file, m_keys);
            const auto state = findState(*file, now.size, c, old, m_keys);
            if (!state) return report(c, Recovered::How::ChangedSince);
            std::optional<State> left;
            if (c.after)
                left = State{c.after->headNew ? Image::New : Image::Old,
                             c.after->trailerNew && c.trailerTouched ? Image::New : Image::Old};
            if (!m_action.ended) {
                // A run cut short: a file it had not touched is withdrawn, one
                // it had written whole keeps the write, any other is put back
                // as it was (its write did not finish).
                if (state->old()) {
                    if (!c.after) withdraw(i);
                } else if (state->complete(c) || state == left) {
                    if (c.after) return;
                    After a;
                    a.stat = now;
                    a.trailerNew = c.trailerTouched;
                    a.newHeadHash = c.newHeadHash;
                    add(RecordType::After, encodeAfter(i, a));
                    report(c, Recovered::How::KeptNew);
                } else {
                    restoreOld(c, *file, now.size, *state, old);
                    if (!c.after) withdraw(i);
                    report(c, Recovered::How::PutBack);
                }
                return;
            }
            // An undo cut short: a file it had not got to is as the action
            // left it; any other is on its way back and is put back.
            if (state == left || (!left && state->complete(c))) return;
            const FileStat back = state->old() ? now : restoreOld(c, *file, now.size, *state, old);
            m_marks.push_back({i, {Mark::How::PutBack, back.device, back.inode}});
            m_action.marks[i].how = Mark::How::PutBack;
            report(c, Recovered::How::PutBack);
        } catch (const io::IoError& e) {
            if (e.code() == ENOENT) return report(c, Recovered::How::ChangedSince);
            report(c, Recovered::How::Failed, e.what());
        } catch (const Damaged& e) {
            report(c, Recovered::How::Failed, e.what());
        }
    }

    Action& m_action;
    io::File& m_file;
    Recovery& m_out;
    BlobKeys m_keys;
    std::vector<uint8_t> m_records;
    std::vector<std::pair<uint32_t, Mark>> m_marks;
};

void recoverAction(Journal& journal, const ActionFile& f, io::File file, Recovery& out) {
    Action action;
    try {
        action = readAction(file, true);
        verifyBlobs(file, action);
    } catch (const OtherVersion& e) {
        journal.ignored(f, e.what()); // another program's to finish
        return;
    } catch (const Damaged& e) {
        journal.ignored(f, std::string(e.what()) + "; set aside");
        journal.setAside(f);
        return;
    }
    if (!action.begun) {
        // Cut short before its first record (its maker, should it be about
        // to take the lock yet, finds the file gone and takes another).
        ::unlink(f.path.c_str());
        return;
    }
    // A record cut short goes first: what is added follows whole records.
    if (file.size() > action.validEnd) file.truncate(action.validEnd);
    ActionRecovery recovery(action, file, out);
    recovery.changes();
    recovery.close();
    std::set<std::string> paths;
    for (const Entry& e : action.entries)
        if (const auto* c = std::get_if<Change>(&e)) paths.insert(c->path);
    for (const std::string& path : paths)
        out.leftovers += io::removeStaleReplacements(path);
    if (!action.changedFiles()) {
        ::unlink(f.path.c_str());
        return;
    }
    io::renameNoReplace(f.path,
                        journal.folder() + actionFileName(f.sequence, ActionFile::State::Closed));
}

} // namespace

std::string Recovery::message() const {
    size_t counts[4] = {};
    for (const Recovered& r : files)
        ++counts[int(r.how)];
    if (files.empty()) return {};
    std::string text = "A run was cut short (the program was stopped or crashed): ";
    std::string parts;
    auto part = [&](size_t n, const std::string& what) {
        if (n == 0) return;
        parts += (parts.empty() ? "" : "; ") + filesText(n) + " " + what;
    };
    part(counts[int(Recovered::How::PutBack)],
         "holding part of a write were put back as they were");
    part(counts[int(Recovered::How::KeptNew)],
         "keep what was written in full (Undo takes it back)");
    part(counts[int(Recovered::How::ChangedSince)], "changed since were left alone");
    part(counts[int(Recovered::How::Failed)], "could not be put back");
    return text + parts + ".";
}

Recovery recover(Journal& journal) {
    Recovery out;
    for (const ActionFile& f : journal.files()) {
        if (f.state != ActionFile::State::Open || !f.regular) continue;
        std::optional<io::File> file;
        try {
            file = io::openRegular(f.path, io::File::Mode::ReadWrite);
        } catch (const io::IoError& e) {
            if (e.code() == ENOENT) continue; // closed meanwhile
            throw;
        }
        // Held by the process recording or undoing it: not cut short.
        if (!file || ::flock(file->fd(), LOCK_EX | LOCK_NB) != 0) continue;
        recoverAction(journal, f, std::move(*file), out);
    }
    out.warning = journal.warning();
    return out;
}

} // namespace journal
