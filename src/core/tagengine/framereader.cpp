// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/framereader.h"

#include "io/ioerror.h"
#include "tagengine/framecodec.h"
#include "tagengine/frameids.h"
#include "tagengine/framewalk.h"
#include "tagengine/recordtime.h"
#include "tagengine/syncsafe.h"
#include "tagengine/textdecode.h"
#include "tagengine/v24pictures.h"
#include "text/charset.h"

#include <algorithm>
#include <bitset>
#include <cstring>

namespace tag {

namespace {

using Buffer = std::vector<uint8_t>;

// Takes the fields of a list frame's data apart, never past its end; or,
// without values, only checks that they are there and decode.
class FieldCursor {
public:
    FieldCursor(const uint8_t* p, size_t n, uint8_t encoding, bool values)
        : m_p(p), m_n(n), m_enc(encoding), m_values(values) {}

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
        const size_t n = *len - textdecode::terminatorSize(enc);
        if (!m_values) {
            m_pos += *len;
            return textdecode::valid(enc, m_p + m_pos - *len, n);
        }
        auto text = textdecode::decode(enc, m_p + m_pos, n);
        if (!text) return false;
        out = std::move(*text);
        out.push_back('\0');
        m_pos += *len;
        return true;
    }
    // The rest of the frame in the frame's encoding, value by value.
    bool rest(std::string& out) {
        if (!m_values) {
            const size_t from = m_pos;
            m_pos = m_n;
            return textdecode::valid(m_enc, m_p + from, m_n - from);
        }
        auto text = textdecode::decodeValues(m_enc, m_p + m_pos, m_n - m_pos);
        if (!text) return false;
        out = std::move(*text);
        m_pos = m_n;
        return true;
    }
    bool restLatin1(std::string& out) {
        if (!m_values) return (m_pos = m_n, true);
        if (!latin1(m_n - m_pos, out)) return false;
        textdecode::dropTrailingZeros(out);
        return true;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
    uint8_t m_enc;
    bool m_values;
    size_t m_pos = 0;
};

// An ID3v2.2 picture's three-letter image format as the MIME type ID3v2.3
// put in its place; "-->" (a link) stays as it is.
std::string mimeOfFormat(std::string format) {
    for (char& c : format)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (format == "-->") return format;
    return "image/" + std::string(format == "jpg" ? "jpeg" : format);
}

// What a list frame's data holds, its picture's place among it.
struct ListEntry {
    EntryColumns columns;
    uint8_t typeByte = 0;
    std::string mime;      // the picture's MIME type as the file name takes it
    size_t pictureAt = 0;  // the picture data's offset in the content
    bool complete = false; // the fields parsed
};

// Parses the content of a list frame (an ID3v2.2 picture with its image
// format); incomplete when a field does not parse. Without values the texts
// are only checked; the picture's type and MIME type are read all the same.
ListEntry parseList(ListKind kind, bool v22Picture, const uint8_t* data, size_t n, bool values) {
    ListEntry e;
    if (n < 1 || !textdecode::known(data[0])) return e;
    FieldCursor c(data + 1, n - 1, data[0], values);
    auto col = [&e](Column k) -> std::string& { return e.columns[size_t(k)]; };
    switch (kind) {
    case ListKind::Comments:
    case ListKind::Lyrics:
        e.complete = c.latin1(3, col(Column::Language)) && c.terminated(col(Column::Description)) &&
                     c.rest(col(Column::Text));
        break;
    case ListKind::TermsOfUse:
        e.complete = c.latin1(3, col(Column::Language)) && c.rest(col(Column::Text));
        break;
    case ListKind::UserUrls:
        e.complete = c.terminated(col(Column::Description)) && c.restLatin1(col(Column::Text));
        break;
    case ListKind::UserTexts:
        e.complete = c.terminated(col(Column::Description)) && c.rest(col(Column::Text));
        break;
    case ListKind::Pictures: {
        std::string typeByte;
        if (v22Picture) {
            std::string format;
            if (!c.raw(3, format)) return e;
            col(Column::MimeType) =
                tag::withTerminator(charset::latin1ToUtf8(mimeOfFormat(format)));
            e.mime = charset::utf8ToLatin1(col(Column::MimeType));
        } else {
            if (!c.terminated(col(Column::MimeType), true)) return e;
            // The picture file is named after the MIME type's bytes.
            e.mime.assign(reinterpret_cast<const char*>(data + 1), c.offset());
        }
        if (!c.raw(1, typeByte) || !c.terminated(col(Column::Description))) return e;
        e.typeByte = static_cast<uint8_t>(typeByte[0]);
        col(Column::PictureType) = std::string(v24::pictureTypeName(e.typeByte));
        e.pictureAt = 1 + c.offset();
        e.complete = true;
        break;
    }
    }
    return e;
}

// Frame data made ready: the content its kind lays out (unsynchronisation
// undone, a data length indicator taken off, compression inflated), and what
// a kept copy of the frame writes: its format flags and data.
struct Prepared {
    const uint8_t* content = nullptr; // null when not asked for, or when the frame is opaque
    size_t size = 0;
    bool grouped = false;
    bool opaque = false; // encrypted, or not inflating: kept as it stands
    bool broken = false; // an ID3v2.3 frame whose flags promise bytes it lacks
    uint8_t keptFormat = 0;
    std::shared_ptr<const Buffer> keptStore; // null: the kept data are where the walk reads
    uint64_t keptData = 0;
    uint32_t keptSize = 0;
};

constexpr uint8_t V24Group = 0x40, V24Compressed = 0x08, V24Encrypted = 0x04, V24Unsync = 0x02,
                  V24Length = 0x01;
constexpr uint8_t V23Compressed = 0x80, V23Encrypted = 0x40, V23Group = 0x20;

std::shared_ptr<const Buffer> share(Buffer&& b) {
    return std::make_shared<const Buffer>(std::move(b));
}

void putSyncsafe(Buffer& out, uint32_t v) {
    const auto s = syncsafe::encode(v);
    out.insert(out.end(), s.begin(), s.end());
}

// The walk of one tag into the reader's record.
class TagReader {
public:
    TagReader(ReadContext& ctx, TagFrames& frames)
        : m_ctx(ctx), m_frames(frames), m_version(static_cast<TagVersion>(ctx.header.version)) {}

    void start() {
        ReaderResult& r = m_ctx.result;
        for (auto& t : r.texts)
            t.clear();
        r.resetCounts();
        r.extractedSizes.clear();
        r.kept.clear();
        r.dropped.clear();
        m_dates = {};
        m_trda.reset();
        m_urlTaken.reset();
        m_taken = {};
    }

    void frame(const FrameHeader& f) {
        if (!f.validId) return drop(f.id());
        const auto target = lookupFrame(m_version, f.id());
        if (!target) {
            if (m_version == TagVersion::V22) return drop(f.id()); // no known twin
            return keep(f, f.id());
        }
        switch (target->role) {
        case FrameRole::Text:
        case FrameRole::Url:
            return property(f, *target);
        case FrameRole::List:
            return listFrame(f, target->list);
        case FrameRole::DatePart:
            return datePart(f, *target);
        case FrameRole::RecordingDates:
            return recordingDates(f);
        case FrameRole::Chapter:
            return chapter(f);
        case FrameRole::Renamed:
            return keep(f, target->twin);
        case FrameRole::NoTwin:
            return drop(f.id());
        }
    }

    void finish() {
        ReaderResult& r = m_ctx.result;
        std::string& recordTime = r.text(Prop::RecordTime);
        // The parts that went into the time stamp, or that say no more than
        // the tag's own time stamp does.
        const std::string stamp =
            recordtime::fromParts(m_dates[0].text, m_dates[1].text, m_dates[2].text);
        if (recordTime.empty()) recordTime = stamp;
        const size_t used = stamp.empty() || recordTime.compare(0, stamp.size(), stamp) != 0 ? 0
                            : stamp.size() >= 16                                             ? 3
                            : stamp.size() >= 10                                             ? 2
                                                                                             : 1;
        if (m_trda) {
            // Free text more often than not: only a time stamp can be kept.
            if (recordTime.empty() && recordtime::isTimeStamp(m_trda->text))
                recordTime = m_trda->text;
            else if (!recordtime::isTimeStamp(m_trda->text) ||
                     recordTime.compare(0, m_trda->text.size(), m_trda->text) != 0)
                r.dropped.push_back(m_trda->id);
        }
        // A part that is not in the time stamp is kept where it stood.
        for (size_t i = m_dates.size(); i-- > used;) {
            DatePending& d = m_dates[i];
            if (!d.frame) continue;
            if (d.discard)
                r.dropped.push_back(d.id);
            else
                r.kept.insert(r.kept.begin() + static_cast<std::ptrdiff_t>(d.position), *d.frame);
        }
    }

private:
    struct DatePending {
        std::string id, text;
        std::optional<kept::KeptFrame> frame;
        size_t position = 0; // where in the kept frames it stood
        bool discard = false;
    };
    struct Trda {
        std::string id, text;
    };

    void drop(std::string_view id) {
        std::string shown;
        if (validFrameId(id)) {
            shown = id;
        } else {
            static const char hex[] = "0123456789ABCDEF";
            for (unsigned char c : id) {
                shown += "\\x";
                shown += hex[c >> 4];
                shown += hex[c & 15];
            }
        }
        m_ctx.result.dropped.push_back(std::move(shown));
    }

    // Whether a kept copy of the frame must not be written: ID3v2.4's status
    // flag 0x40 and ID3v2.3's 0x80 ask that a frame the writer does not know
    // be discarded once the tag changes.
    bool discardOnChange(const FrameHeader& f) const {
        return m_version == TagVersion::V24   ? (f.status & 0x40) != 0
               : m_version == TagVersion::V23 ? (f.status & 0x80) != 0
                                              : false;
    }
    uint8_t status(const FrameHeader& f) const {
        return m_version == TagVersion::V24   ? f.status & 0x70
               : m_version == TagVersion::V23 ? (f.status >> 1) & 0x70
                                              : 0;
    }

    std::optional<kept::KeptFrame> keptFrame(const FrameHeader& f, std::string_view id,
                                             const Prepared& p) {
        if (p.broken || id.size() != 4 || p.keptSize >= syncsafe::Limit) return std::nullopt;
        kept::KeptFrame k{{}, p.keptData, p.keptSize, p.keptStore ? p.keptStore : m_frames.copy()};
        std::memcpy(k.header.data(), id.data(), 4);
        const auto size = syncsafe::encode(p.keptSize);
        std::memcpy(k.header.data() + 4, size.data(), 4);
        k.header[8] = status(f);
        k.header[9] = p.keptFormat;
        return k;
    }

    void keep(const FrameHeader& f, std::string_view id) { keep(f, id, prepare(f, false)); }
    void keep(const FrameHeader& f, std::string_view id, const Prepared& p) {
        if (discardOnChange(f)) return drop(f.id());
        auto k = keptFrame(f, id, p);
        if (!k) return drop(f.id());
        m_ctx.result.kept.push_back(std::move(*k));
    }

    // The frame's data as prepare() finds it: the bytes where the walk reads.
    const uint8_t* tagBytes(const FrameHeader& f, size_t n) {
        return m_frames.bytes().need(f.data, n);
    }

    // content: whether the caller reads the content (a kept frame needs it only
    // when its data change); limit: how much of it a scan reads of a picture.
    Prepared prepare(const FrameHeader& f, bool content, size_t limit = SIZE_MAX) {
        Prepared p;
        p.keptData = f.data;
        p.keptSize = f.size;
        if (f.format == 0 && !m_frames.framesUnsynchronised()) {
            // Most frames: the data as they stand.
            if (content) {
                p.size = std::min<size_t>(f.size, limit);
                p.content = tagBytes(f, p.size);
            }
            return p;
        }
        const bool v24 = m_version == TagVersion::V24, v23 = m_version == TagVersion::V23;
        const bool grouped = (v24 && (f.format & V24Group)) || (v23 && (f.format & V23Group));
        const bool unsync = v24 && ((f.format & V24Unsync) || m_frames.framesUnsynchronised());
        const bool compressed =
            (v24 && (f.format & V24Compressed)) || (v23 && (f.format & V23Compressed));
        const bool encrypted =
            (v24 && (f.format & V24Encrypted)) || (v23 && (f.format & V23Encrypted));
        const bool length = v24 && (f.format & V24Length);
        // A group byte the frame has no room for is a promise of more bytes
        // than there are: below, as for the other flags.
        if (!unsync && !compressed && !encrypted && !length && f.size >= (grouped ? 1u : 0u)) {
            // The data as they stand, a group byte first.
            p.grouped = grouped;
            p.keptFormat = grouped ? V24Group : 0;
            if (content) {
                const size_t skip = grouped ? 1 : 0;
                const size_t n = std::min<size_t>(f.size - skip, limit);
                p.content = tagBytes(f, skip + n) + skip;
                p.size = n;
            }
            return p;
        }
        const uint8_t* raw = tagBytes(f, f.size);
        size_t n = f.size;
        Buffer undone;
        if (unsync && framecodec::hasUnsyncPair(raw, n)) {
            framecodec::undoUnsync(raw, n, undone);
            raw = undone.data();
            n = undone.size();
        }
        // The bytes between the header and the data, in each version's order.
        size_t at = 0;
        bool fits = true;
        auto take = [&](size_t k) -> const uint8_t* {
            if (!fits || n - at < k) {
                fits = false;
                return nullptr;
            }
            at += k;
            return raw + at - k;
        };
        uint8_t group = 0, method = 0;
        uint32_t dataLength = 0;
        if (v24) {
            if (const uint8_t* b = grouped ? take(1) : nullptr) group = *b;
            if (const uint8_t* b = encrypted ? take(1) : nullptr) method = *b;
            if (const uint8_t* b = length ? take(4) : nullptr) dataLength = syncsafe::decode(b);
        } else {
            if (const uint8_t* b = compressed ? take(4) : nullptr)
                dataLength = syncsafe::bigEndian32(b);
            if (const uint8_t* b = encrypted ? take(1) : nullptr) method = *b;
            if (const uint8_t* b = grouped ? take(1) : nullptr) group = *b;
        }
        Buffer kept;
        bool plain = fits && !encrypted && (!compressed || v23 || length);
        if (plain && compressed) {
            auto inflated = framecodec::inflate(raw + at, n - at, dataLength);
            plain = inflated.has_value();
            if (plain) {
                if (grouped) kept.push_back(group);
                kept.insert(kept.end(), inflated->begin(), inflated->end());
            }
        } else if (plain && undone.empty() && at == (grouped ? 1u : 0u)) {
            // Nothing to undo after all: read and kept where they stand.
            p.grouped = grouped;
            p.keptFormat = grouped ? V24Group : 0;
            p.content = raw + at;
            p.size = std::min(n - at, limit);
            return p;
        } else if (plain) {
            if (grouped) kept.push_back(group);
            kept.insert(kept.end(), raw + at, raw + n);
        }
        if (plain) {
            // Written back plain, with the group byte only.
            p.grouped = grouped;
            p.keptFormat = grouped ? V24Group : 0;
        } else if (v24) {
            // Encrypted, not inflating, or flags that promise more bytes than
            // there are: kept as it stands, unsynchronisation undone.
            p.opaque = true;
            kept.assign(raw, raw + n);
            p.keptFormat = f.format & (V24Group | V24Compressed | V24Encrypted | V24Length);
        } else if (!fits || (compressed && dataLength >= syncsafe::Limit)) {
            p.broken = true; // no ID3v2.4 form to give it
            return p;
        } else {
            // In ID3v2.4's order: group, method, data length.
            p.opaque = true;
            if (grouped) kept.push_back(group);
            if (encrypted) kept.push_back(method);
            if (compressed) putSyncsafe(kept, dataLength);
            kept.insert(kept.end(), raw + at, raw + n);
            p.keptFormat = static_cast<uint8_t>((grouped ? V24Group : 0) |
                                                (compressed ? V24Compressed | V24Length : 0) |
                                                (encrypted ? V24Encrypted : 0));
        }
        auto store = share(std::move(kept));
        p.keptData = 0;
        p.keptSize = static_cast<uint32_t>(std::min<size_t>(store->size(), UINT32_MAX));
        if (plain) {
            const size_t skip = grouped ? 1 : 0;
            p.content = store->data() + skip;
            p.size = std::min(store->size() - skip, limit);
        }
        p.keptStore = std::move(store);
        return p;
    }

    // A scan (no values) only tells the frames a write keeps from the ones
    // the model takes: it checks a text without making it.
    void property(const FrameHeader& f, const FrameTarget& t) {
        const Prepared p = prepare(f, true);
        if (p.broken || p.opaque || p.grouped) return keep(f, t.twin, p);
        // The recording time decides which date frames go into it.
        const bool values = m_ctx.extract || t.prop == Prop::RecordTime;
        std::string& model = m_ctx.result.text(t.prop);
        if (t.role == FrameRole::Url) {
            // Zero bytes alone are no link. A second link of one kind (more
            // than one artist's page, say) is kept as it is.
            if (std::all_of(p.content, p.content + p.size, [](uint8_t b) { return b == 0; }))
                return;
            if (m_urlTaken[size_t(t.prop)]) return keep(f, t.twin, p);
            m_urlTaken[size_t(t.prop)] = true;
            if (!values) return;
            model = charset::latin1ToUtf8({reinterpret_cast<const char*>(p.content), p.size});
            textdecode::dropTrailingZeros(model);
            return;
        }
        if (p.size == 0) return;
        const uint8_t encoding = p.content[0];
        if (!values) {
            if (!textdecode::valid(encoding, p.content + 1, p.size - 1)) keep(f, t.twin, p);
            return;
        }
        auto text = textdecode::decodeValues(encoding, p.content + 1, p.size - 1);
        if (!text) return keep(f, t.twin, p);
        if (text->empty()) return;
        if (model.empty()) {
            model = std::move(*text);
        } else {
            // Two frames of one text property: both values, in one frame.
            model += '\0';
            model += *text;
        }
    }

    void listFrame(const FrameHeader& f, ListKind kind) {
        const bool picture = kind == ListKind::Pictures;
        const bool v22Picture = picture && m_version == TagVersion::V22;
        // A scan needs a picture's fields, not its data.
        const size_t limit = picture && !m_ctx.extract ? 512 : SIZE_MAX;
        Prepared p = prepare(f, true, limit);
        if (p.broken || p.opaque || p.grouped) return keepList(f, kind, p, nullptr);
        const bool values = m_ctx.extract;
        ListEntry e = parseList(kind, v22Picture, p.content, p.size, values);
        if (!e.complete && p.size == limit) {
            p = prepare(f, true);
            e = parseList(kind, v22Picture, p.content, p.size, values);
        }
        int& taken = m_taken[size_t(kind)];
        if (!e.complete || taken >= MaxEntries ||
            (picture && e.typeByte >= v24::PictureTypeNames.size()))
            return keepList(f, kind, p, e.complete ? &e : nullptr);
        const int n = ++taken;
        if (!values) return; // a scan counts the entries, nothing more
        m_ctx.result.setEntry(kind, n, std::move(e.columns));
        if (!picture) return;
        const uint8_t* data = p.content + e.pictureAt;
        const size_t size = p.size - e.pictureAt;
        if (m_ctx.extractPictures) v24::ExtractPicture(m_ctx, n, e.mime, data, size);
        if (m_ctx.holdPictures) m_ctx.result.pictures.edit(n).held = held(p, data, size);
    }

    // A picture's bytes kept in memory: shared with the buffer they lie in
    // when one outlives the walk, else copied.
    HeldBytes held(const Prepared& p, const uint8_t* data, size_t size) {
        auto within = [&](const uint8_t* from, size_t n) {
            return from && data >= from && data + size <= from + n;
        };
        if (p.keptStore && within(p.keptStore->data(), p.keptStore->size()))
            return {p.keptStore, data, size};
        if (const auto& copy = m_frames.copy(); copy && within(copy->data(), copy->size()))
            return {copy, data, size};
        if (m_ctx.owner && within(m_ctx.ownerBytes.data(), m_ctx.ownerBytes.size()))
            return {m_ctx.owner, data, size};
        auto own = std::make_shared<const Buffer>(data, data + size);
        return {own, own->data(), size};
    }

    // A list frame the model does not take: kept under its ID3v2.4 ID; an
    // ID3v2.2 picture becomes the ID3v2.4 one, MIME type in place of its format.
    void keepList(const FrameHeader& f, ListKind kind, const Prepared& p, const ListEntry* e) {
        if (kind != ListKind::Pictures || m_version != TagVersion::V22)
            return keep(f, info(kind).frame, p);
        if (!e || discardOnChange(f)) return drop(f.id());
        const Prepared whole = p.size == f.size ? p : prepare(f, true);
        Buffer data{whole.content[0]};
        data.insert(data.end(), e->mime.begin(), e->mime.end());
        data.push_back(e->typeByte);
        data.insert(data.end(), whole.content + 1 + 3 + 1, whole.content + whole.size);
        Prepared converted;
        converted.keptSize = static_cast<uint32_t>(data.size());
        converted.keptStore = share(std::move(data));
        keep(f, info(kind).frame, converted);
    }

    void datePart(const FrameHeader& f, const FrameTarget& t) {
        const Prepared p = prepare(f, true);
        DatePending& d = m_dates[t.part];
        std::optional<std::string> text;
        if (!p.broken && !p.opaque && !p.grouped && p.size > 0 && textdecode::known(p.content[0]))
            text = textdecode::decodeValues(p.content[0], p.content + 1, p.size - 1);
        // Kept as it stands: a part that does not decode, and one met twice.
        if (!text || d.frame) return keep(f, t.twin, p);
        auto k = keptFrame(f, t.twin, p);
        if (!k) return drop(f.id());
        d.id = f.id();
        d.text = std::move(*text);
        d.frame = std::move(*k);
        d.position = m_ctx.result.kept.size();
        d.discard = discardOnChange(f);
    }

    void recordingDates(const FrameHeader& f) {
        const Prepared p = prepare(f, true);
        std::optional<std::string> text;
        if (!p.broken && !p.opaque && !p.grouped && p.size > 0 && textdecode::known(p.content[0]))
            text = textdecode::decodeValues(p.content[0], p.content + 1, p.size - 1);
        if (!text || m_trda) return drop(f.id());
        m_trda = Trda{std::string(f.id()), std::move(*text)};
    }

    // An ID3v2.3 chapter (CHAP) or table of contents (CTOC): its own frames
    // become ID3v2.4 frames as the tag's do; the fields before them stay.
    void chapter(const FrameHeader& f) {
        const Prepared p = prepare(f, true);
        if (p.broken || p.opaque || p.grouped) return keep(f, f.id(), p);
        const uint8_t* c = p.content;
        const size_t n = p.size;
        const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(c, 0, n));
        size_t at = zero ? static_cast<size_t>(zero - c) + 1 : n + 1;
        if (f.id() == "CHAP") {
            at += 16; // start and end times and offsets
        } else if (at + 2 <= n) {
            const unsigned children = c[at + 1];
            at += 2;
            for (unsigned i = 0; i < children && at < n; ++i) {
                const void* z = std::memchr(c + at, 0, n - at);
                at = z ? static_cast<size_t>(static_cast<const uint8_t*>(z) - c) + 1 : n + 1;
            }
        }
        if (at > n) return keep(f, f.id(), p); // fields that do not parse: kept as they are
        Buffer out(c, c + at);
        TagBytes inner(c, n);
        FrameLayout layout{TagVersion::V23, at, n, false};
        FrameWalk walk(inner, layout);
        ReadContext innerCtx{inner, n, m_ctx.tempFolder, m_ctx.result, m_ctx.header, false};
        TagFrames innerFrames(inner, TagHeader{true, 3, 0, static_cast<uint32_t>(n)});
        TagReader sub(innerCtx, innerFrames);
        const size_t keptBefore = m_ctx.result.kept.size();
        for (FrameHeader s; walk.next(s);) {
            const auto target = lookupFrame(TagVersion::V23, s.id());
            const bool noTwin = target && target->role == FrameRole::NoTwin;
            if (!s.validId || noTwin) {
                sub.drop(s.id());
                continue;
            }
            sub.keep(s, target && target->role == FrameRole::Renamed ? target->twin : s.id());
        }
        // The frames the inner walk kept are the chapter's own: moved into it.
        for (size_t i = keptBefore; i < m_ctx.result.kept.size(); ++i) {
            const kept::KeptFrame& k = m_ctx.result.kept[i];
            out.insert(out.end(), k.header.begin(), k.header.end());
            const uint8_t* bytes = k.bytes(c);
            out.insert(out.end(), bytes, bytes + k.size);
        }
        m_ctx.result.kept.resize(keptBefore);
        out.insert(out.end(), c + walk.position(), c + n);
        Prepared converted;
        converted.keptSize = static_cast<uint32_t>(out.size());
        converted.keptStore = share(std::move(out));
        keep(f, f.id(), converted);
    }

    ReadContext& m_ctx;
    TagFrames& m_frames;
    TagVersion m_version;
    std::array<DatePending, 3> m_dates;
    std::optional<Trda> m_trda;
    std::bitset<PropCount> m_urlTaken;        // the URL properties a frame filled
    std::array<int, ListKindCount> m_taken{}; // the entries each list took
};

} // namespace

void walkFrames(ReadContext& ctx) {
    TagFrames frames(ctx.bytes, ctx.header, ctx.tagEnd);
    TagReader reader(ctx, frames);
    frames.walk([&] { reader.start(); }, [&](const FrameHeader& f) { reader.frame(f); });
    reader.finish();
}

} // namespace tag
