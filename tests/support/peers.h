// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "support/testfiles.h"

#include <string>
#include <string_view>
#include <vector>

// The other taggers that read Quillet's files in the tests: TagLib (through a
// small program built for the tests) and mutagen, each printing what it reads
// as lines "ID field...", texts as the hex of their UTF-8 bytes (see
// tests/interop).
namespace testing_support {

std::string hex(std::string_view s);
// Length and 64-bit FNV-1a of picture data, as the peers print them.
std::string digest(const Bytes& data);

struct Peer {
    const char* name;
    std::string command; // empty when the peer is missing
};
const std::vector<Peer>& peers();

struct PeerView {
    std::vector<std::string> frames; // the header line and one line per frame, sorted
    std::string audio;               // the audio line
};
// What the peer reads from path; v24: older frames in their ID3v2.4 form,
// as mutagen hands them to a program (TagLib always does so).
PeerView peerView(const Peer& peer, const std::string& path, bool v24 = false);

// The lines of a view an edit of the title must leave as they were: no header
// line, no title, no frame of the dropped IDs, and the frames of one text as
// one frame of several values (as Quillet writes them).
std::vector<std::string> untitled(const std::vector<std::string>& lines,
                                  const std::vector<std::string>& dropped = {});

} // namespace testing_support
