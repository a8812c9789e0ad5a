#include "tagengine/writetag.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "tagengine/syncsafe.h"
#include "tagengine/v24.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace writetag {

namespace {

constexpr uint64_t HeaderSize = 10;
constexpr uint64_t GapBlock = 1024;
// Old tag regions up to this size are blanked from a buffer made before the
// file is opened and measured; larger claimed ones are measured first.
constexpr uint64_t TrustedRegion = 1 << 20;

using Fields = std::initializer_list<std::string_view>;

// A picture file, opened and measured before anything is written; its bytes
// are read straight into the new tag.
struct PictureData {
    io::File file;
    uint64_t size;
};

// The three bytes a language takes in a frame: a shorter one (no language
// chosen) is padded with spaces, which other taggers read as no language too.
std::string language3(const std::string& language) {
    std::string code = language.substr(0, 3);
    code.resize(3, ' ');
    return code;
}

// Visits every frame in the order it is written. Measuring and writing both
// go through here, so the size declared is the size of exactly what is written.
template <class Sink>
void forEachFrame(const tag::WriterInput& in, const std::vector<PictureData>& pictures,
                  Sink& sink) {
    using tag::ListKind;
    static constexpr std::string_view Latin1{"\0", 1}; // the encoding byte
    auto id = [](ListKind k) { return tag::info(k).frame; };

    for (tag::Prop p : tag::WriterOrder) {
        const std::string& value = in.text(p);
        if (value.empty()) continue;
        const tag::PropInfo& prop = tag::info(p);
        if (prop.kind == tag::FrameKind::Text)
            sink(prop.v24, Fields{Latin1, value});
        else
            sink(prop.v24, Fields{value});
    }
    for (const auto& e : in.lyrics)
        sink(id(ListKind::Lyrics), Fields{Latin1, language3(e.language), e.description, e.text});
    int n = 0;
    for (const auto& e : in.pictures) {
        const char type = static_cast<char>(v24::pictureTypeByte(e.pictureType));
        sink(id(ListKind::Pictures),
             Fields{Latin1, e.mimeType, std::string_view(&type, 1), e.description},
             &pictures[static_cast<size_t>(n++)]);
    }
    for (const auto& e : in.termsOfUse)
        sink(id(ListKind::TermsOfUse), Fields{Latin1, language3(e.language), e.text});
    for (const auto& e : in.userUrls)
        sink(id(ListKind::UserUrls), Fields{Latin1, e.description, e.url});
    for (const auto& e : in.userTexts)
        sink(id(ListKind::UserTexts), Fields{Latin1, e.description, e.value});
    for (const auto& e : in.comments)
        sink(id(ListKind::Comments), Fields{Latin1, language3(e.language), e.description, e.text});
}

uint64_t dataSize(Fields fields, const PictureData* picture) {
    uint64_t size = picture ? picture->size : 0;
    for (std::string_view f : fields)
        size += f.size();
    return size;
}

std::string tooLarge(std::string_view what, uint64_t size) {
    return std::string(what) + " would hold " + std::to_string(size) +
           " bytes; an ID3v2.4 size field holds at most " + std::to_string(syncsafe::Limit - 1);
}

// The size of all frames, headers included; refuses sizes the format cannot hold.
struct Measure {
    uint64_t total = 0;
    void operator()(std::string_view id, Fields fields, const PictureData* picture = nullptr) {
        const uint64_t size = dataSize(fields, picture);
        if (size >= syncsafe::Limit)
            throw io::TagError(tooLarge("The " + std::string(id) + " frame", size));
        total += HeaderSize + size;
    }
};

// Lays the frames out one after the other from out onwards.
struct Emit {
    uint8_t* out;
    void operator()(std::string_view id, Fields fields, const PictureData* picture = nullptr) {
        const auto size = syncsafe::encode(static_cast<uint32_t>(dataSize(fields, picture)));
        std::memcpy(out, id.data(), 4);
        std::memcpy(out + 4, size.data(), 4);
        out[8] = out[9] = 0; // no flags
        out += HeaderSize;
        for (std::string_view f : fields) {
            std::memcpy(out, f.data(), f.size());
            out += f.size();
        }
        if (picture) {
            picture->file.readExactAt(out, picture->size, 0);
            out += picture->size;
        }
    }
};

void putHeader(uint8_t* at, uint32_t tagSize) {
    const auto size = syncsafe::encode(tagSize);
    const uint8_t header[HeaderSize] = {'I', 'D', '3', 4, 0, 0, size[0], size[1], size[2], size[3]};
    std::memcpy(at, header, sizeof header);
}

} // namespace

void WriteTag(const tag::WriterInput& input, uint32_t oldTagSize, const std::string& fileName,
              const BeforeWrite& beforeWrite) {
    // The old region, blanked before the new tag goes in: T + 10 bytes when a tag
    // was found, none otherwise.
    const bool present = input.Id3v2present;
    const uint64_t T = present ? oldTagSize : 0;
    const uint64_t oldRegion = present ? T + HeaderSize : 0;
    if (present && T >= syncsafe::Limit) throw io::TagError("The tag is too large to be rewritten");
    // A header that claims more than the file holds: blanking it would write
    // past the end of the file, so nothing is written. Checked once the file is
    // open; a region too large for a harmless buffer is checked here already,
    // before a buffer of that size is made.
    if (oldRegion > TrustedRegion && oldRegion > io::fileLength(fileName))
        throw io::IoError(io::IoError::ShortRead);

    // Every picture file is opened as the program opens the files whose bytes it
    // copies (for reading and writing, so a read-only one fails here) and measured
    // before the MP3 file is touched.
    std::vector<PictureData> pictures;
    pictures.reserve(static_cast<size_t>(input.pictures.count()));
    for (const auto& e : input.pictures) {
        io::File f(e.pictureFile, io::File::Mode::ReadWrite);
        const uint64_t size = f.size();
        pictures.push_back({std::move(f), size});
    }
    Measure measure;
    forEachFrame(input, pictures, measure);
    const uint64_t N = measure.total;
    if (N >= syncsafe::Limit) throw io::TagError(tooLarge("The tag", N));

    // In place the tag keeps its old size and region; otherwise a gap G of whole
    // kibibytes (at least one) with G + T > N + 10 goes in front of the old file,
    // and the new tag declares just its frames.
    const bool inPlace = present && N <= T;
    const uint64_t gap = inPlace ? 0 : ((N + HeaderSize - T) / GapBlock + 1) * GapBlock;

    // The new start of the file: in place the whole tag region; when moving, the
    // gap and the blanked old region. The frames cover what they cover of it; the
    // blanked header the old region keeps stays where the frames end earlier.
    // Only the bytes after the frames are zeroed first: the frames, most of
    // a tag with a cover, are written over the rest.
    const size_t startSize = static_cast<size_t>(inPlace ? T + HeaderSize : gap + oldRegion);
    const size_t framesEnd = static_cast<size_t>(HeaderSize + N);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[startSize]);
    const std::span<uint8_t> start(buffer.get(), startSize);
    std::memset(start.data() + framesEnd, 0, startSize - framesEnd);
    if (!inPlace && present) putHeader(start.data() + gap, static_cast<uint32_t>(T));
    putHeader(start.data(), static_cast<uint32_t>(inPlace ? T : N));
    Emit emit{start.data() + HeaderSize};
    forEachFrame(input, pictures, emit);
    if (emit.out != start.data() + framesEnd) throw std::logic_error("frames not as measured");
    pictures.clear();

    io::File mp3(fileName, io::File::Mode::ReadWrite);
    const uint64_t length = mp3.size();
    if (oldRegion > length) throw io::IoError(io::IoError::ShortRead);
    if (beforeWrite) beforeWrite(start);

    if (inPlace) {
        mp3.writeAt(start.data(), start.size(), 0);
        mp3.close();
        return;
    }
    io::ReplacementFile replacement(fileName);
    replacement.file().writeAt(start.data(), start.size(), 0);
    io::copyRange(mp3, oldRegion, replacement.file(), start.size(), length - oldRegion);
    // Closed before the rename: once the new file is in place the write has
    // happened, and no error may be reported after it.
    mp3.close();
    replacement.commit();
}

} // namespace writetag
