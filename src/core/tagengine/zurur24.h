// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "io/heldfile.h"
#include "tagengine/tagbytes.h"
#include "tagengine/tagdata.h"
#include "tagengine/tagheader.h"
#include "tagengine/writetag.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The ID3v2 tag of one MP3 file: 44 text properties, six entry lists and what
// the last read found in the file. The only way the program reaches an ID3v2 tag.
class ID3v24 {
public:
    using Prop = tag::Prop;

    // Published properties.
    bool Id3v2present = false;
    std::string FileName; // the file the next read, write or remove works on
    std::string Version;  // "2.2", "2.3" or "2.4" after a read that recognised the tag
    // A full read also keeps each picture's bytes in memory, so that a write
    // of pictures the user did not touch takes them from there, not from the
    // picture files it extracted.
    bool HoldPictures = false;

    const std::string& text(Prop p) const { return m_model.text(p); }
    void setText(Prop p, std::string value) { m_model.text(p) = std::move(value); }

    const tag::EntryList<tag::LangEntry>& Comments() const { return m_model.comments; }
    const tag::EntryList<tag::LangEntry>& Lyrics() const { return m_model.lyrics; }
    const tag::EntryList<tag::UserUrlEntry>& UserUrls() const { return m_model.userUrls; }
    const tag::EntryList<tag::TermsEntry>& TermsOfUse() const { return m_model.termsOfUse; }
    const tag::EntryList<tag::PictureEntry>& Pictures() const { return m_model.pictures; }
    const tag::EntryList<tag::UserTextEntry>& UserTexts() const { return m_model.userTexts; }
    const tag::TagData& model() const { return m_model; }

    // The number of bytes the last full read extracted for picture n (0 when
    // it extracted none for it).
    uint64_t extractedSize(int n) const {
        return n >= 1 && static_cast<size_t>(n) <= m_extractedSizes.size()
                   ? m_extractedSizes[static_cast<size_t>(n - 1)]
                   : 0;
    }

    // The frames of the tag the last full read found that a write into that
    // file keeps (the model does not hold them), in the order they stand.
    const std::vector<kept::KeptFrame>& KeptFrames() const { return m_kept; }
    // The IDs of the frames of that tag a write cannot keep.
    const std::vector<std::string>& DroppedFrames() const { return m_dropped; }

    // The size of the tag the last read found (after its 10-byte header), 0
    // when none, or when it is one Quillet cannot read.
    uint32_t TagSize() const { return m_tagSize; }
    // What the last read found at the start of the file.
    const tag::TagHeader& Header() const { return m_header; }
    // Every byte that tag takes (header, frames, padding, footer): what a
    // write or a remove replaces. 0 when there is none.
    uint64_t RegionLength() const { return m_header.regionLength(); }
    // The picture folder of the last read, ending with "/".
    const std::string& TempFolder() const { return m_tempFolder; }

    // Reads more of the file through the read's own open file, before it closes.
    using ReadAlongside = std::function<void(const io::File&)>;

    // Reads the header of FileName; in full-read mode loads the tag into the
    // model, in header-only mode only recognises it (texts and lists stay).
    // alongside (the ID3v1 trailer, say) runs on the open file before it
    // closes; what it raises fails the read, and nothing is taken over then.
    void ReadTag(const std::string& tempFolder, bool headerOnly,
                 const ReadAlongside& alongside = {});
    // Reads FileName as a full read does, its pictures held in memory
    // (PictureEntry::held) instead of written into the picture folder: for
    // those that need the texts, or write the pictures back as they were.
    void ReadTexts(const ReadAlongside& alongside = {});
    // Reads the tag of a file held open for a change (FileName becomes its
    // path): its header alone, or the whole tag with its pictures held in
    // memory, shared with the file's first bytes as read.
    void ReadHeld(io::HeldFile& file, bool headerOnly);
    // Opens FileName for reading and reads its 10-byte header.
    void ReadHeader();
    void TakeReaderResult();
    // Writes the model into FileName as an ID3v2.4 tag (see writetag), with the
    // frames of the file's own tag that the model does not hold; beforeWrite
    // sees the new start of the file before it is written. A tag Quillet
    // cannot read is never written over (io::TagError), and one with frames
    // the write cannot keep only when loss allows it (writetag::LossError).
    void WriteTag(const std::function<void(std::span<const uint8_t>)>& beforeWrite = {},
                  writetag::Loss loss = writetag::Loss::Refuse);
    // Overwrites the tag region the last read found with an empty tag of the
    // same length; a tag Quillet cannot read is left alone (io::TagError).
    void RemoveTag();
    void ClearTag();

    // Set operations store entry index (1..100) and raise the count to it;
    // Delete operations remove entry index (1..count). Other indexes change nothing.
    void SetComment(std::string description, std::string language, std::string text, int index);
    void SetLyric(std::string description, std::string language, std::string text, int index);
    void SetUserText(std::string description, std::string value, int index);
    void SetUserUrl(std::string description, std::string url, int index);
    void SetTermsOfUse(std::string language, std::string text, int index);
    void SetPicture(std::string description, std::string pictureType, std::string mimeType,
                    std::string pictureFile, int index);
    void DeleteComment(int index) { m_model.comments.remove(index); }
    void DeleteLyric(int index) { m_model.lyrics.remove(index); }
    void DeleteUserText(int index) { m_model.userTexts.remove(index); }
    void DeleteUserUrl(int index) { m_model.userUrls.remove(index); }
    void DeleteTermsOfUse(int index) { m_model.termsOfUse.remove(index); }
    void DeletePicture(int index) { m_model.pictures.remove(index); }
    // The same for any list, its entry given as columns.
    void SetEntry(tag::ListKind kind, const tag::EntryColumns& columns, int index) {
        m_model.setEntry(kind, index, columns);
    }
    void DeleteEntry(tag::ListKind kind, int index) { m_model.removeEntry(kind, index); }

private:
    enum class PictureMode { Extract, Hold, ExtractAndHold };
    void readTag(const std::string& tempFolder, bool headerOnly, PictureMode pictures,
                 const ReadAlongside& alongside);
    void readHeader(size_t prefixSize);
    // Takes what the header says; true when the tag is one the readers take.
    bool takeHeader(const uint8_t* first10, bool headerOnly);
    void runReader(tag::TagBytes& bytes, PictureMode pictures,
                   const std::shared_ptr<const void>& owner = {},
                   std::span<const uint8_t> ownerBytes = {});
    void finishRead(bool readable, bool headerOnly);
    tag::ReaderResult& readerResult();

    tag::TagData m_model;
    std::unique_ptr<tag::ReaderResult> m_readerResult;
    std::vector<uint64_t> m_extractedSizes;
    std::vector<kept::KeptFrame> m_kept;
    std::vector<std::string> m_dropped;
    tag::TagHeader m_header;
    uint32_t m_tagSize = 0;
    std::string m_tempFolder;
    std::string m_readFileName;

    // While a read runs: the open file and the bytes read with the header.
    io::File m_file;
    tag::ByteBuffer m_bytes; // kept between reads
    std::array<uint8_t, 10> m_headerBytes{};
};
