// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/zurur24.h"

#include "io/ioerror.h"
#include "tagengine/framereader.h"
#include "tagengine/syncsafe.h"
#include "tagengine/v22.h"
#include "tagengine/v23.h"
#include "tagengine/v24.h"
#include "tagengine/writetag.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {
// The first read of a full read takes as much as the last tag read in full
// needed, within 4 and 64 KiB: a library's tags tend to be alike, so a run
// over files with covers reads each tag in one piece, and one over small tags
// copies no more than they hold (a first read of 64 KiB for a 2 KiB tag made
// its read twice as slow). A larger tag takes one more read of its rest.
constexpr size_t MinFullReadPrefix = 4 * 1024;
constexpr size_t MaxFullReadPrefix = 64 * 1024;
std::atomic<size_t> lastFullRead{MinFullReadPrefix};

size_t fullReadPrefix() {
    return lastFullRead.load(std::memory_order_relaxed);
}
void rememberFullRead(uint64_t tagBytes) {
    const uint64_t pages = (tagBytes + MinFullReadPrefix - 1) / MinFullReadPrefix;
    lastFullRead.store(size_t(std::clamp<uint64_t>(pages * MinFullReadPrefix, MinFullReadPrefix,
                                                   MaxFullReadPrefix)),
                       std::memory_order_relaxed);
}
constexpr size_t ZeroBlock = 0x80000;

constexpr size_t KeptBuffer = 1u << 20;

// Closes the file of a read however the read ends; a buffer grown for a large
// tag is not kept.
struct FileCloser {
    io::File& file;
    tag::ByteBuffer& bytes;
    ~FileCloser() {
        file = io::File();
        if (bytes.capacity() > KeptBuffer) bytes.release();
    }
};
} // namespace

void ID3v24::readHeader(size_t prefixSize) {
    // Reading needs no write access: a read-only file shows its tags and
    // fails only when it is written.
    m_file = io::File(FileName, io::File::Mode::Read);
    m_bytes.resizeForOverwrite(std::max<size_t>(prefixSize, m_headerBytes.size()));
    size_t got = m_file.readAt(m_bytes.data(), m_bytes.size(), 0);
    if (got < m_headerBytes.size()) throw io::IoError(io::IoError::ShortRead);
    m_bytes.shrink(got);
    std::memcpy(m_headerBytes.data(), m_bytes.data(), m_headerBytes.size());
}

void ID3v24::ReadHeader() {
    readHeader(m_headerBytes.size());
}

void ID3v24::ReadTag(const std::string& tempFolder, bool headerOnly,
                     const ReadAlongside& alongside) {
    readTag(tempFolder, headerOnly,
            HoldPictures ? PictureMode::ExtractAndHold : PictureMode::Extract, alongside);
}

void ID3v24::ReadTexts(const ReadAlongside& alongside) {
    readTag(std::string(), false, PictureMode::Hold, alongside);
}

void ID3v24::readTag(const std::string& tempFolder, bool headerOnly, PictureMode pictures,
                     const ReadAlongside& alongside) {
    m_tempFolder = tempFolder;
    if (!m_tempFolder.empty() && m_tempFolder.back() != '/') m_tempFolder += '/';
    m_readFileName = FileName;
    FileCloser closer{m_file, m_bytes};
    readHeader(headerOnly ? m_headerBytes.size() : fullReadPrefix());
    const bool readable = takeHeader(m_headerBytes.data(), headerOnly);
    if (readable && !headerOnly) {
        rememberFullRead(10 + uint64_t{m_tagSize});
        tag::TagBytes bytes(m_file, 10 + uint64_t{m_tagSize}, m_bytes);
        runReader(bytes, pictures);
    }
    if (alongside) alongside(m_file);
    // A read whose close fails has failed: nothing is taken over.
    m_file.close();
    finishRead(readable, headerOnly);
}

void ID3v24::ReadHeld(io::HeldFile& file, bool headerOnly) {
    FileName = file.path();
    m_readFileName = FileName;
    m_tempFolder.clear();
    const auto first = file.head(m_headerBytes.size());
    if (first.size() < m_headerBytes.size()) throw io::IoError(io::IoError::ShortRead);
    const bool readable = takeHeader(first.data(), headerOnly);
    if (readable && !headerOnly) {
        const auto region = file.head(10 + uint64_t{m_tagSize});
        tag::TagBytes bytes(region.data(), region.size());
        runReader(bytes, PictureMode::Hold, file.owner(), region);
    }
    finishRead(readable, headerOnly);
}

bool ID3v24::takeHeader(const uint8_t* first10, bool headerOnly) {
    std::memcpy(m_headerBytes.data(), first10, m_headerBytes.size());
    m_tagSize = 0;
    if (!headerOnly) ClearTag();
    m_header = tag::parseTagHeader(m_headerBytes.data());
    Id3v2present = m_header.present;
    const bool readable = m_header.readable();
    if (readable) {
        m_tagSize = m_header.size;
    } else if (!headerOnly) {
        m_model.resetCounts();
        m_kept.clear();
        m_dropped.clear();
    }
    return readable;
}

void ID3v24::finishRead(bool readable, bool headerOnly) {
    if (!readable) return;
    Version = "2." + std::to_string(m_header.version);
    if (!headerOnly) TakeReaderResult();
}

void ID3v24::runReader(tag::TagBytes& bytes, PictureMode pictures,
                       const std::shared_ptr<const void>& owner,
                       std::span<const uint8_t> ownerBytes) {
    tag::ReadContext ctx{bytes, 10 + uint64_t{m_tagSize}, m_tempFolder, readerResult(), m_header};
    ctx.holdPictures = pictures != PictureMode::Extract;
    ctx.extractPictures = pictures != PictureMode::Hold;
    ctx.owner = owner;
    ctx.ownerBytes = ownerBytes;
    switch (m_header.version) {
    case 2:
        v22::ReadV22Frames(ctx);
        break;
    case 3:
        v23::ReadV23Frames(ctx);
        break;
    default:
        v24::ReadV24Frames(ctx);
        break;
    }
}

tag::ReaderResult& ID3v24::readerResult() {
    // Made at the first full read: a header scan never needs one.
    if (!m_readerResult) m_readerResult = std::make_unique<tag::ReaderResult>();
    return *m_readerResult;
}

void ID3v24::TakeReaderResult() {
    tag::ReaderResult& result = readerResult();
    for (size_t i = 0; i < tag::PropCount; ++i)
        m_model.texts[i] = std::move(result.texts[i]);
    m_model.takeListsFrom(result);
    m_extractedSizes = std::move(result.extractedSizes);
    m_kept = std::move(result.kept);
    m_dropped = std::move(result.dropped);
}

void ID3v24::ClearTag() {
    for (auto& t : m_model.texts)
        t.clear();
    if (m_readerResult)
        for (auto& t : m_readerResult->texts)
            t.clear();
}

void ID3v24::WriteTag(const std::function<void(std::span<const uint8_t>)>& beforeWrite,
                      writetag::Loss loss) {
    if (Id3v2present && !m_header.readable()) throw io::TagError(tag::unreadableMessage(m_header));
    tag::WriterInput input;
    static_cast<tag::TagData&>(input) = m_model;
    input.Id3v2present = Id3v2present;
    writetag::WriteTag(input, RegionLength(), FileName, beforeWrite, loss);
}

void ID3v24::RemoveTag() {
    if (!Id3v2present) return;
    if (!m_header.readable()) throw io::TagError(tag::unreadableMessage(m_header));
    const uint64_t region = RegionLength();
    if (region - 10 >= syncsafe::Limit) throw io::TagError("The tag is too large to be rewritten");
    io::File f(FileName, io::File::Mode::ReadWrite);
    // A damaged header must not make the blanking run into the audio or grow the file.
    if (region > f.size()) throw io::IoError(io::IoError::ShortRead);
    std::vector<uint8_t> zeros(static_cast<size_t>(std::min<uint64_t>(region, ZeroBlock)), 0);
    const auto header = tag::blankHeader(static_cast<uint32_t>(region - 10));
    // The header goes out with the first block of zeros.
    std::memcpy(zeros.data(), header.data(), header.size());
    f.writeAt(zeros.data(), zeros.size(), 0);
    std::memset(zeros.data(), 0, header.size());
    for (uint64_t done = zeros.size(); done < region;) {
        size_t chunk = static_cast<size_t>(std::min<uint64_t>(zeros.size(), region - done));
        f.writeAt(zeros.data(), chunk, done);
        done += chunk;
    }
    f.close();
}

void ID3v24::SetComment(std::string description, std::string language, std::string text,
                        int index) {
    m_model.comments.set(index, {std::move(text), std::move(language), std::move(description)});
}

void ID3v24::SetLyric(std::string description, std::string language, std::string text, int index) {
    m_model.lyrics.set(index, {std::move(text), std::move(language), std::move(description)});
}

void ID3v24::SetUserText(std::string description, std::string value, int index) {
    m_model.userTexts.set(index, {std::move(description), std::move(value)});
}

void ID3v24::SetUserUrl(std::string description, std::string url, int index) {
    m_model.userUrls.set(index, {std::move(description), std::move(url)});
}

void ID3v24::SetTermsOfUse(std::string language, std::string text, int index) {
    m_model.termsOfUse.set(index, {std::move(text), std::move(language)});
}

void ID3v24::SetPicture(std::string description, std::string pictureType, std::string mimeType,
                        std::string pictureFile, int index) {
    // The same picture file stored again (its texts edited) keeps the bytes
    // held from the read: the picture itself is untouched.
    tag::HeldBytes held;
    if (index >= 1 && index <= m_model.pictures.count() &&
        m_model.pictures[index].pictureFile == pictureFile)
        held = m_model.pictures[index].held;
    m_model.pictures.set(index, {std::move(mimeType), std::move(pictureType),
                                 std::move(description), std::move(pictureFile), std::move(held)});
}
