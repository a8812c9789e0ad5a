// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The TagLib peer of the benchmark: per file, the same work as the quillet-tag
// command it is timed against, done the way a TagLib program does it.
// Bench-only; never linked into Quillet.
//
//   taglib_peer read DIR FILE...        every text frame, comment, user text and
//                                       URL; each APIC picture written to DIR
//   taglib_peer header FILE...          the ID3v2 header only: present, version, size
//   taglib_peer settitle TITLE FILE...  read, set the title, save ID3v2.4 only
//   taglib_peer addpicture JPEG FILE... read, add JPEG as a picture, save ID3v2.4 only
//
// One short line per file on stdout; exit status 1 when any file failed.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/urllinkframe.h>
#include <unistd.h>

using namespace TagLib;

namespace {

std::string utf8(const String& s) {
    return s.to8Bit(true);
}

// Picture files are named as quillet-tag names them: number, then the MIME type.
std::string pictureName(int n, const String& mime) {
    std::string t = mime.to8Bit(false);
    auto slash = t.find('/');
    std::string ext = slash == std::string::npos ? t : t.substr(slash + 1);
    if (ext == "jpeg") ext = "jpg";
    return std::to_string(n) + "image." + ext;
}

// Written as the floor writes it: a new file, the previous one unlinked (on
// ext4 this is far cheaper than truncating it).
bool writeFile(const std::string& path, const ByteVector& data) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    return ::close(fd) == 0 && ok;
}

bool readFull(const char* dir, const char* file) {
    MPEG::File f(file, false);
    if (!f.isValid()) return false;
    std::string line = file;
    ID3v2::Tag* tag = f.hasID3v2Tag() ? f.ID3v2Tag(false) : nullptr;
    if (tag) {
        line += " ";
        line += std::to_string(tag->header()->majorVersion());
        int pictures = 0;
        for (ID3v2::Frame* frame : tag->frameList()) {
            line += '\t';
            line.append(frame->frameID().data(), frame->frameID().size());
            line += '=';
            if (auto* p = dynamic_cast<ID3v2::AttachedPictureFrame*>(frame)) {
                std::string path = std::string(dir) + "/" + pictureName(++pictures, p->mimeType());
                if (!writeFile(path, p->picture())) return false;
                line += utf8(p->mimeType()) + "|" + std::to_string(p->type()) + "|" +
                        utf8(p->description()) + "|" + path;
            } else if (auto* c = dynamic_cast<ID3v2::CommentsFrame*>(frame)) {
                line += utf8(c->text()) + "|" + std::string(c->language().data(), 3) + "|" +
                        utf8(c->description());
            } else if (auto* u = dynamic_cast<ID3v2::UserTextIdentificationFrame*>(frame)) {
                line += utf8(u->description()) + "|" + utf8(u->fieldList().toString("|"));
            } else if (auto* t = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame)) {
                line += utf8(t->toString());
            } else if (auto* w = dynamic_cast<ID3v2::UrlLinkFrame*>(frame)) {
                line += utf8(w->url());
            }
        }
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    return true;
}

bool readHeader(const char* file) {
    FileStream s(file, true);
    if (!s.isOpen()) return false;
    ByteVector v = s.readBlock(ID3v2::Header::size());
    if (v.size() == ID3v2::Header::size() && v.startsWith(ID3v2::Header::fileIdentifier())) {
        ID3v2::Header h(v);
        std::printf("%s true 2.%u %u\n", file, h.majorVersion(), h.tagSize());
    } else {
        std::printf("%s false\n", file);
    }
    return true;
}

bool saveV24(MPEG::File& f) {
    return f.save(MPEG::File::ID3v2, File::StripNone, ID3v2::v4, File::DoNotDuplicate);
}

bool setTitle(const char* title, const char* file) {
    MPEG::File f(file, false);
    if (!f.isValid()) return false;
    f.ID3v2Tag(true)->setTitle(String(title, String::UTF8));
    if (!saveV24(f)) return false;
    std::printf("%s\n", file);
    return true;
}

bool addPicture(const char* jpeg, const char* file) {
    MPEG::File f(file, false);
    if (!f.isValid()) return false;
    // The picture is read for every file, as a tagger writing one tag into
    // a selection of files does.
    FileStream pic(jpeg, true);
    if (!pic.isOpen()) return false;
    auto* frame = new ID3v2::AttachedPictureFrame;
    frame->setMimeType("image/jpeg");
    frame->setType(ID3v2::AttachedPictureFrame::BackCover);
    frame->setDescription("Back");
    frame->setPicture(pic.readBlock(static_cast<unsigned long>(pic.length())));
    f.ID3v2Tag(true)->addFrame(frame);
    if (!saveV24(f)) return false;
    std::printf("%s\n", file);
    return true;
}

int usage() {
    std::fputs("usage: taglib_peer read DIR FILE... | header FILE... | settitle TITLE FILE... "
               "| addpicture JPEG FILE...\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    const bool withArg = mode != "header";
    if (withArg && argc < 4) return usage();
    int first = withArg ? 3 : 2;
    bool ok = true;
    for (int i = first; i < argc; ++i) {
        bool done = mode == "read"         ? readFull(argv[2], argv[i])
                    : mode == "header"     ? readHeader(argv[i])
                    : mode == "settitle"   ? setTitle(argv[2], argv[i])
                    : mode == "addpicture" ? addPicture(argv[2], argv[i])
                                           : (usage(), false);
        if (!done) {
            std::printf("%s failed\n", argv[i]);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
