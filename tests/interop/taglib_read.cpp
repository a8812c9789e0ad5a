// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Prints what TagLib reads from an MP3 file, in the line format of
// mutagen_read.py, so that tests can hold Quillet's files against both:
//   ID3v2.<major> <tag size>
//   <frame ID> <field as hex>...        one line per frame, in file order
//   audio <first MPEG frame offset> <length ms> <bitrate kbit/s> <sample rate>
// Text is printed as the hex of its UTF-8 bytes, numbers in decimal, picture
// data as its length and 64-bit FNV-1a hash, and the data of any other frame
// as TagLib renders it again.
#include <cstdint>
#include <cstdio>
#include <string>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>
#include <vector>

namespace {

std::string hex(const TagLib::ByteVector& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char c : bytes) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

std::string hex(const TagLib::String& text) {
    return hex(text.data(TagLib::String::UTF8));
}

// Length and 64-bit FNV-1a of picture data, as mutagen_read.py prints them.
std::string digest(const TagLib::ByteVector& data) {
    uint64_t h = 0xCBF29CE484222325u;
    for (unsigned char c : data)
        h = (h ^ c) * 0x100000001B3u;
    char out[40];
    std::snprintf(out, sizeof out, "%u:%016llx", data.size(), static_cast<unsigned long long>(h));
    return out;
}

// The fields of one frame: joined text values, or the fields the frame kind has.
std::vector<std::string> fields(TagLib::ID3v2::Frame* frame) {
    using namespace TagLib::ID3v2;
    if (auto* f = dynamic_cast<UserTextIdentificationFrame*>(frame)) {
        const TagLib::StringList values = f->fieldList(); // description, then values
        TagLib::StringList rest = values;
        rest.erase(rest.begin());
        return {hex(f->description()), hex(rest.toString(TagLib::String(std::string(1, '\0'))))};
    }
    if (auto* f = dynamic_cast<TextIdentificationFrame*>(frame))
        return {hex(f->fieldList().toString(TagLib::String(std::string(1, '\0'))))};
    if (auto* f = dynamic_cast<UserUrlLinkFrame*>(frame))
        return {hex(f->description()), hex(f->url())};
    if (auto* f = dynamic_cast<UrlLinkFrame*>(frame)) return {hex(f->url())};
    if (auto* f = dynamic_cast<CommentsFrame*>(frame))
        return {hex(f->language()), hex(f->description()), hex(f->text())};
    if (auto* f = dynamic_cast<UnsynchronizedLyricsFrame*>(frame))
        return {hex(f->language()), hex(f->description()), hex(f->text())};
    if (auto* f = dynamic_cast<AttachedPictureFrame*>(frame))
        return {hex(f->mimeType()), std::to_string(static_cast<int>(f->type())),
                hex(f->description()), digest(f->picture())};
    if (auto* f = dynamic_cast<UnknownFrame*>(frame)) {
        // TagLib has no class for USER: encoding, language, text.
        const TagLib::ByteVector data = f->data();
        if (frame->frameID() == "USER" && data.size() >= 4)
            return {hex(data.mid(1, 3)), hex(data.mid(4))};
        return {hex(data)};
    }
    return {hex(frame->render().mid(10))};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: taglib_read FILE\n");
        return 2;
    }
    TagLib::MPEG::File file(argv[1]);
    if (!file.isValid()) {
        std::printf("invalid\n");
        return 1;
    }
    if (file.hasID3v2Tag()) {
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
        std::printf("ID3v2.%u %u\n", tag->header()->majorVersion(), tag->header()->tagSize());
        for (TagLib::ID3v2::Frame* frame : tag->frameList()) {
            std::string line(frame->frameID().data(), frame->frameID().size());
            for (const std::string& field : fields(frame))
                line += " " + field;
            std::printf("%s\n", line.c_str());
        }
    }
    const TagLib::MPEG::Properties* audio = file.audioProperties();
    std::printf("audio %ld %d %d %d\n", file.firstFrameOffset(),
                audio ? audio->lengthInMilliseconds() : -1, audio ? audio->bitrate() : -1,
                audio ? audio->sampleRate() : -1);
    return 0;
}
