// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/writetag.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "tagengine/keptframes.h"
#include "tagengine/syncsafe.h"
#include "tagengine/tagheader.h"
#include "tagengine/timestamp.h"
#include "tagengine/v24.h"
#include "text/charset.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace writetag {

namespace {

constexpr uint64_t HeaderSize = 10;
constexpr uint64_t GapBlock = 1024;
// Old tag regions up to this size are blanked from a buffer made before the
// file is opened and measured; larger claimed ones are measured first.
constexpr uint64_t TrustedRegion = 1 << 20;

// One field of a frame's data: bytes as they are, or model text (UTF-8)
// written in ISO-8859-1.
struct Field {
    std::string_view bytes;
    bool latin1 = false;

    uint64_t size() const { return latin1 ? charset::latin1Length(bytes) : bytes.size(); }
    uint8_t* put(uint8_t* out) const {
        if (latin1) return charset::putLatin1(out, bytes);
        std::memcpy(out, bytes.data(), bytes.size());
        return out + bytes.size();
    }
};
using Fields = std::initializer_list<Field>;

// The encoding bytes the writer uses.
constexpr std::string_view Latin1Encoding{"\0", 1};
constexpr std::string_view Utf8Encoding{"\3", 1};

// The encoding of a frame with these texts: ISO-8859-1, one byte a character,
// when every character lies within it, as every tag was written before there
// was any other; otherwise UTF-8, which holds any.
bool inLatin1(std::initializer_list<std::string_view> texts) {
    bool fits = true;
    for (std::string_view t : texts) {
        switch (charset::latin1Fit(t)) {
        case charset::Fit::Latin1:
            break;
        case charset::Fit::Beyond:
            fits = false;
            break;
        case charset::Fit::Invalid:
            throw io::TagError("A text of the tag is not UTF-8 text");
        }
    }
    return fits;
}

// A field the format keeps in ISO-8859-1 whatever the frame's encoding (URLs,
// MIME types, languages): a value beyond it cannot be written.
std::string_view latin1Only(std::string_view value, std::string_view what, std::string_view id) {
    if (!charset::fitsLatin1(value))
        throw io::TagError("The " + std::string(what) + " of the " + std::string(id) +
                           " frame holds a character beyond ISO-8859-1");
    return value;
}

// The three bytes a language takes in a frame: a shorter one (no language
// chosen) is padded with spaces, which other taggers read as no language too.
std::string language3(const std::string& language, std::string_view id) {
    std::string code = charset::utf8ToLatin1(latin1Only(language, "language", id)).substr(0, 3);
    code.resize(3, ' ');
    return code;
}

// A picture's bytes: held in memory, or a picture file opened and measured
// before anything is written, whose bytes are read straight into the new tag.
struct PictureData {
    io::File file;
    uint64_t size;
    const uint8_t* held = nullptr;
};

// Visits every frame the model gives, in the order it is written. Measuring and
// writing both go through here, so the size declared is the size of exactly
// what is written.
template <class Sink>
void forEachFrame(const tag::WriterInput& in, const std::vector<PictureData>& pictures,
                  Sink& sink) {
    using tag::ListKind;
    auto id = [](ListKind k) { return tag::info(k).frame; };
    auto encoding = [](bool latin1) { return latin1 ? Latin1Encoding : Utf8Encoding; };

    for (tag::Prop p : tag::WriterOrder) {
        const std::string& value = in.text(p);
        if (value.empty()) continue;
        const tag::PropInfo& prop = tag::info(p);
        if (prop.kind == tag::FrameKind::Text) {
            const bool latin1 = inLatin1({value});
            sink(prop.v24, Fields{{encoding(latin1)}, {value, latin1}});
        } else {
            sink(prop.v24, Fields{{latin1Only(value, "URL", prop.v24), true}});
        }
    }
    auto langFrame = [&](ListKind kind, const tag::LangEntry& e) {
        const bool latin1 = inLatin1({e.description, e.text});
        sink(id(kind), Fields{{encoding(latin1)},
                              {language3(e.language, id(kind))},
                              {e.description, latin1},
                              {e.text, latin1}});
    };
    for (const auto& e : in.lyrics)
        langFrame(ListKind::Lyrics, e);
    int n = 0;
    for (const auto& e : in.pictures) {
        const char type = static_cast<char>(v24::pictureTypeByte(e.pictureType));
        const bool latin1 = inLatin1({e.description});
        sink(id(ListKind::Pictures),
             Fields{{encoding(latin1)},
                    {latin1Only(e.mimeType, "MIME type", id(ListKind::Pictures)), true},
                    {std::string_view(&type, 1)},
                    {e.description, latin1}},
             &pictures[static_cast<size_t>(n++)]);
    }
    for (const auto& e : in.termsOfUse) {
        const bool latin1 = inLatin1({e.text});
        sink(id(ListKind::TermsOfUse), Fields{{encoding(latin1)},
                                              {language3(e.language, id(ListKind::TermsOfUse))},
                                              {e.text, latin1}});
    }
    for (const auto& e : in.userUrls) {
        const bool latin1 = inLatin1({e.description});
        sink(id(ListKind::UserUrls),
             Fields{{encoding(latin1)},
                    {e.description, latin1},
                    {latin1Only(e.url, "URL", id(ListKind::UserUrls)), true}});
    }
    for (const auto& e : in.userTexts) {
        const bool latin1 = inLatin1({e.description, e.value});
        sink(id(ListKind::UserTexts),
             Fields{{encoding(latin1)}, {e.description, latin1}, {e.value, latin1}});
    }
    for (const auto& e : in.comments)
        langFrame(ListKind::Comments, e);
}

uint64_t dataSize(Fields fields, const PictureData* picture) {
    uint64_t size = picture ? picture->size : 0;
    for (const Field& f : fields)
        size += f.size();
    return size;
}

std::string tooLarge(std::string_view what, uint64_t size) {
    return std::string(what) + " would hold " + std::to_string(size) +
           " bytes; an ID3v2.4 size field holds at most " + std::to_string(syncsafe::Limit - 1);
}

// The size of all frames, headers included; refuses sizes the format cannot
// hold and texts it cannot hold where they stand.
struct Measure {
    uint64_t total = 0;
    void operator()(std::string_view id, Fields fields, const PictureData* picture = nullptr) {
        const uint64_t size = dataSize(fields, picture);
        if (size >= syncsafe::Limit)
            throw io::TagError(tooLarge("The " + std::string(id) + " frame", size));
        total += HeaderSize + size;
    }
    void operator()(const kept::KeptFrame& frame) { total += HeaderSize + frame.size; }
};

// Lays the frames out one after the other from out onwards.
struct Emit {
    uint8_t* out;
    std::span<const uint8_t> region; // where kept frames are read from
    void operator()(std::string_view id, Fields fields, const PictureData* picture = nullptr) {
        const auto size = syncsafe::encode(static_cast<uint32_t>(dataSize(fields, picture)));
        std::memcpy(out, id.data(), 4);
        std::memcpy(out + 4, size.data(), 4);
        out[8] = out[9] = 0; // no flags
        out += HeaderSize;
        for (const Field& f : fields)
            out = f.put(out);
        if (picture) {
            if (picture->held)
                std::memcpy(out, picture->held, picture->size);
            else
                picture->file.readExactAt(out, picture->size, 0);
            out += picture->size;
        }
    }
    void operator()(const kept::KeptFrame& frame) { out = kept::put(frame, region, out); }
};

// A date the calendar does not have (2023-02-31, 2023-99-99) is refused
// whatever gave it to the model: other programs would reject or misread it.
void refuseImpossibleDates(const tag::WriterInput& in) {
    constexpr std::pair<tag::Prop, std::string_view> Times[] = {
        {tag::Prop::RecordTime, "recording time"},
        {tag::Prop::RelaseTime, "release time"},
        {tag::Prop::OrigTime, "original release time"},
        {tag::Prop::EncodingTime, "encoding time"},
        {tag::Prop::TagTime, "tagging time"}};
    for (const auto& [prop, what] : Times)
        if (timestamp::impossibleDate(in.text(prop)))
            throw io::TagError("The " + std::string(what) + " " + in.text(prop) +
                               " is not a date of the calendar");
}

std::string lossMessage(const std::vector<std::string>& frames) {
    std::string list;
    for (const std::string& f : frames)
        list += (list.empty() ? "" : ", ") + f;
    return "The tag holds frames an ID3v2.4 tag cannot keep: " + list;
}

std::vector<PictureData> openPictures(const tag::WriterInput& input) {
    std::vector<PictureData> pictures;
    pictures.reserve(static_cast<size_t>(input.pictures.count()));
    for (const auto& e : input.pictures) {
        if (e.held) {
            pictures.push_back({io::File(), e.held.size, e.held.data});
            continue;
        }
        io::File f(e.pictureFile, io::File::Mode::Read);
        const uint64_t size = f.size();
        pictures.push_back({std::move(f), size});
    }
    return pictures;
}

Planned assemble(const tag::WriterInput& input, std::vector<PictureData>& pictures,
                 Measure& measure, const Source& source, Loss loss) {
    // The old region, blanked before the new tag goes in: its header, frames,
    // padding and footer when a tag was found, none otherwise. T is all of it
    // after the header.
    const uint64_t oldRegion = source.region.size();
    const uint64_t T = oldRegion ? oldRegion - HeaderSize : 0;
    // The frames the model does not hold come from the file's own tag as it is
    // now, so a write never carries one file's frames into another.
    const kept::Scan found = oldRegion ? kept::scan(source.region) : kept::Scan();
    if (!found.dropped.empty() && loss == Loss::Refuse) throw LossError(found.dropped);
    const std::vector<kept::KeptFrame>& keptFrames = found.frames;
    for (const kept::KeptFrame& k : keptFrames)
        measure(k);
    const uint64_t N = measure.total;
    if (N >= syncsafe::Limit) throw io::TagError(tooLarge("The tag", N));

    // In place the tag keeps its old size and region; otherwise a gap G of whole
    // kibibytes (at least one) with G + T > N + 10 goes in front of the old file,
    // and the new tag declares every byte before the audio, so that the next
    // write whose frames fit goes in place.
    Planned out;
    out.oldRegion = oldRegion;
    out.length = source.length;
    out.dropped = found.dropped;
    out.inPlace = oldRegion && N <= T;
    const uint64_t gap = out.inPlace ? 0 : ((N + HeaderSize - T) / GapBlock + 1) * GapBlock;
    const uint64_t startSize = out.inPlace ? T + HeaderSize : gap + oldRegion;
    if (startSize - HeaderSize >= syncsafe::Limit)
        throw io::TagError(tooLarge("The tag", startSize - HeaderSize));

    // The new start of the file: the header, the frames, and zeros up to the
    // audio. Only the bytes after the frames are zeroed first: the frames,
    // most of a tag with a cover, are written over the rest.
    const size_t framesEnd = static_cast<size_t>(HeaderSize + N);
    out.buffer = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(startSize));
    out.size = static_cast<size_t>(startSize);
    uint8_t* start = out.buffer.get();
    std::memset(start + framesEnd, 0, out.size - framesEnd);
    const auto header = tag::blankHeader(static_cast<uint32_t>(startSize - HeaderSize));
    std::memcpy(start, header.data(), header.size());
    Emit emit{start + HeaderSize, source.region};
    forEachFrame(input, pictures, emit);
    for (const kept::KeptFrame& k : keptFrames)
        emit(k);
    if (emit.out != start + framesEnd) throw std::logic_error("frames not as measured");
    return out;
}

} // namespace

LossError::LossError(std::vector<std::string> frames)
    : io::TagError(lossMessage(frames)), m_frames(std::move(frames)) {}

uint64_t blankedRegion(bool present, uint64_t region) {
    const uint64_t oldRegion = present ? std::max(region, HeaderSize) : 0;
    if (present && oldRegion - HeaderSize >= syncsafe::Limit)
        throw io::TagError("The tag is too large to be rewritten");
    return oldRegion;
}

Planned plan(const tag::WriterInput& input, const Source& source, Loss loss) {
    refuseImpossibleDates(input);
    // Every picture file is opened and measured before the MP3 file is touched.
    std::vector<PictureData> pictures = openPictures(input);
    Measure measure;
    forEachFrame(input, pictures, measure);
    return assemble(input, pictures, measure, source, loss);
}

void put(const Planned& planned, io::File& mp3, const std::string& fileName,
         const TrailerWrite* trailer) {
    const std::span<const uint8_t> start = planned.start();
    if (planned.inPlace) {
        mp3.writeAt(start.data(), start.size(), 0);
        if (trailer) trailer->put(mp3, planned.length);
        return;
    }
    io::ReplacementFile replacement(fileName);
    replacement.file().writeAt(start.data(), start.size(), 0);
    const uint64_t audio = planned.length - planned.oldRegion;
    io::copyRange(mp3, planned.oldRegion, replacement.file(), start.size(), audio);
    // The trailer goes into the new file before it takes the old one's place:
    // the file holds the old tags or the new ones, never a mix.
    if (trailer) trailer->put(replacement.file(), start.size() + audio);
    // Closed before the rename: once the new file is in place the write has
    // happened, and no error may be reported after it.
    mp3.close();
    replacement.commit();
}

void TrailerWrite::put(io::File& file, uint64_t length) const {
    if (over) {
        file.writeAt(bytes.data(), bytes.size(), length - bytes.size());
        return;
    }
    // No trailer: the last 128 bytes are audio.
    file.appendAt(bytes.data(), bytes.size(), length);
}

void WriteTag(const tag::WriterInput& input, uint64_t region, const std::string& fileName,
              const BeforeWrite& beforeWrite, Loss loss) {
    const uint64_t oldRegion = blankedRegion(input.Id3v2present, region);
    // A header that claims more than the file holds: blanking it would write
    // past the end of the file, so nothing is written. Checked once the file is
    // open; a region too large for a harmless buffer is checked here already,
    // before a buffer of that size is made.
    if (oldRegion > TrustedRegion && oldRegion > io::fileLength(fileName))
        throw io::IoError(io::IoError::ShortRead);
    refuseImpossibleDates(input);
    std::vector<PictureData> pictures = openPictures(input);
    Measure measure;
    forEachFrame(input, pictures, measure);

    // Opened for writing before anything else is read from it: a file the user
    // may not write is refused here, and a moving write never gets to put a
    // new file in its place.
    io::File mp3(fileName, io::File::Mode::ReadWrite);
    const uint64_t length = mp3.size();
    if (oldRegion > length) throw io::IoError(io::IoError::ShortRead);
    std::vector<uint8_t> bytes(static_cast<size_t>(oldRegion));
    mp3.readExactAt(bytes.data(), bytes.size(), 0);
    const Planned planned = assemble(input, pictures, measure, Source{bytes, length}, loss);
    pictures.clear();
    if (beforeWrite) beforeWrite(planned.start());
    put(planned, mp3, fileName, nullptr);
    mp3.close();
}

} // namespace writetag
