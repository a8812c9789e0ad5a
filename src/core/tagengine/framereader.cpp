// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/framereader.h"

#include "io/ioerror.h"
#include "tagengine/frameids.h"
#include "tagengine/keptframes.h"
#include "tagengine/recordtime.h"
#include "tagengine/textdecode.h"
#include "tagengine/v24pictures.h"
#include "text/charset.h"

#include <algorithm>
#include <cstring>

namespace tag {

namespace {

// One frame under the walk: where its data lies and its flag bytes.
struct Frame {
    uint64_t data; // offset of the first data byte
    uint32_t size;
    uint8_t flags1, flags2;
};

std::string readText(ReadContext& ctx, const Dialect& d, const Frame& f) {
    if (f.flags2 & d.textFlagMask) return {};
    if (f.size == 0) return {};
    uint8_t encoding = *ctx.bytes.need(f.data, 1);
    if (!textdecode::known(encoding)) return {};
    const uint8_t* value = ctx.bytes.need(f.data + 1, f.size - 1);
    return textdecode::decode(encoding, value, f.size - 1).value_or(std::string());
}

std::string readUrl(ReadContext& ctx, const Dialect& d, const Frame& f) {
    if (f.flags1 & d.flagMask) return {};
    return charset::latin1ToUtf8(
        std::string_view(reinterpret_cast<const char*>(ctx.bytes.need(f.data, f.size)), f.size));
}

// Takes the fields of a list frame's data apart, never past its end.
class FieldCursor {
public:
    FieldCursor(const uint8_t* p, size_t n, uint8_t encoding) : m_p(p), m_n(n), m_enc(encoding) {}

    size_t offset() const { return m_pos; }
    // n ISO-8859-1 bytes.
    bool latin1(size_t n, std::string& out) {
        if (m_n - m_pos < n) return false;
        out.clear();
        charset::appendLatin1(out, m_p + m_pos, n);
        m_pos += n;
        return true;
    }
    bool raw(size_t n, std::string& out) {
        if (m_n - m_pos < n) return false;
        out.assign(reinterpret_cast<const char*>(m_p + m_pos), n);
        m_pos += n;
        return true;
    }
    // A zero-terminated field in the frame's encoding (or always ISO-8859-1),
    // stored with one zero character at its end.
    bool terminated(std::string& out, bool latin1 = false) {
        uint8_t enc = latin1 ? uint8_t{textdecode::Latin1} : m_enc;
        auto len = textdecode::terminatedLength(enc, m_p + m_pos, m_n - m_pos);
        if (!len) return false;
        auto text = textdecode::decode(enc, m_p + m_pos, *len - textdecode::terminatorSize(enc));
        if (!text) return false;
        out = std::move(*text);
        out.push_back('\0');
        m_pos += *len;
        return true;
    }
    // The rest of the frame in the frame's encoding.
    bool rest(std::string& out) {
        auto text = textdecode::decode(m_enc, m_p + m_pos, m_n - m_pos);
        if (!text) return false;
        out = std::move(*text);
        m_pos = m_n;
        return true;
    }
    bool restLatin1(std::string& out) { return latin1(m_n - m_pos, out); }

private:
    const uint8_t* m_p;
    size_t m_n;
    uint8_t m_enc;
    size_t m_pos = 0;
};

template <class Entry> void store(EntryList<Entry>& list, Entry&& entry) {
    list.set(list.count() + 1, std::move(entry));
}

// Parses one list frame into its list; a frame that does not parse gives no entry.
void readListFrame(ReadContext& ctx, const Dialect& d, const Frame& f, ListKind kind) {
    if (f.flags1 & d.flagMask) return;
    ReaderResult& r = ctx.result;
    if (r.full(kind) || f.size < 1) return;
    uint8_t encoding = *ctx.bytes.need(f.data, 1);
    if (!textdecode::known(encoding)) return;
    const uint8_t* data = ctx.bytes.need(f.data, f.size);
    FieldCursor c(data + 1, f.size - 1, encoding);

    switch (kind) {
    case ListKind::Comments:
    case ListKind::Lyrics: {
        LangEntry e;
        if (!c.latin1(3, e.language) || !c.terminated(e.description) || !c.rest(e.text)) return;
        store(kind == ListKind::Comments ? r.comments : r.lyrics, std::move(e));
        break;
    }
    case ListKind::TermsOfUse: {
        TermsEntry e;
        if (!c.latin1(3, e.language) || !c.rest(e.text)) return;
        store(r.termsOfUse, std::move(e));
        break;
    }
    case ListKind::UserUrls: {
        UserUrlEntry e;
        if (!c.terminated(e.description) || !c.restLatin1(e.url)) return;
        store(r.userUrls, std::move(e));
        break;
    }
    case ListKind::UserTexts: {
        UserTextEntry e;
        if (!c.terminated(e.description) || !c.rest(e.value)) return;
        store(r.userTexts, std::move(e));
        break;
    }
    case ListKind::Pictures: {
        PictureEntry e;
        std::string typeByte;
        if (!c.terminated(e.mimeType, true)) return;
        // The picture file is named after the MIME type's bytes.
        const std::string mime(reinterpret_cast<const char*>(data + 1), c.offset());
        if (!c.raw(1, typeByte) || !c.terminated(e.description)) return;
        e.pictureType = v24::pictureTypeName(static_cast<uint8_t>(typeByte[0]));
        const uint64_t pictureOffset = f.data + 1 + c.offset();
        const uint64_t pictureLength = f.size - 1 - c.offset();
        const int n = r.pictures.count() + 1;
        store(r.pictures, std::move(e));
        v24::ExtractPicture(ctx, n, mime, pictureLength, pictureOffset);
        break;
    }
    }
}

} // namespace

void walkFrames(ReadContext& ctx, const Dialect& d) {
    ctx.result.resetCounts();
    ctx.result.extractedSizes.clear();
    ctx.result.kept.clear();
    std::array<std::string, 3> dates; // the last of each date frame met
    uint64_t frame = 10;
    while (frame + d.headerLength <= ctx.tagEnd) {
        const uint8_t* id = ctx.bytes.need(frame, d.idLength);
        if (std::all_of(id, id + d.idLength, [](uint8_t b) { return b == 0; })) break;
        const std::string frameId(reinterpret_cast<const char*>(id), d.idLength);
        const uint8_t* rest = ctx.bytes.need(frame + d.idLength, d.headerLength - d.idLength);
        Frame f{frame + d.headerLength, d.frameSize(rest), 0, 0};
        if (d.headerLength == 10) {
            f.flags1 = rest[4];
            f.flags2 = rest[5];
        }
        // A frame whose data would run past the tag's end is not read, and the
        // walk ends there: what follows is audio, not frames.
        if (f.data + f.size > ctx.tagEnd) break;

        if (auto target = lookupFrame(d.version, frameId)) {
            if (target->isList) {
                readListFrame(ctx, d, f, target->list);
            } else {
                ctx.result.text(target->prop) = info(target->prop).kind == FrameKind::Text
                                                    ? readText(ctx, d, f)
                                                    : readUrl(ctx, d, f);
            }
        } else if (auto date = std::find(d.dateFrames.begin(), d.dateFrames.end(), frameId);
                   date != d.dateFrames.end()) {
            dates[static_cast<size_t>(date - d.dateFrames.begin())] = readText(ctx, d, f);
        } else if (d.headerLength == 10) {
            const uint8_t* header = ctx.bytes.need(frame, d.headerLength);
            if (auto k = kept::keep(d.version, header, f.data, f.size))
                ctx.result.kept.push_back(*k);
        }
        frame = f.data + f.size;
    }
    // A time stamp of the tag's own (TRDA) wins over the parts.
    std::string& recordTime = ctx.result.text(Prop::RecordTime);
    if (!d.dateFrames[0].empty() && recordTime.empty())
        recordTime = recordtime::fromParts(dates[0], dates[1], dates[2]);
}

} // namespace tag
