// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "support/testfiles.h"

#include <string>
#include <vector>

// Files as other programs write them, one for each family of tags whose
// frames an edit must keep: the older versions, header and frame flags,
// compression, sizes that are not syncsafe, several values, more entries than
// the window lists. Made byte by byte where no tool writes them, by mutagen
// where it does.
namespace testing_support {

struct Family {
    std::string name;
    Bytes file;                       // tag and audio
    std::vector<std::string> dropped; // the frames a write cannot keep
    std::vector<std::string> unshown; // frames the peers show that Quillet keeps unread
};

// Every family; those mutagen writes are made in folder.
std::vector<Family> families(const std::string& folder);

// The data with a zero byte after every 0xFF that a frame sync or a zero
// follows, and after a last 0xFF: ID3v2 unsynchronisation.
Bytes unsynchronised(const Bytes& data);
// The data as one zlib stream.
Bytes compressed(const Bytes& data);

} // namespace testing_support
