// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <stdexcept>
#include <string>

namespace io {

// The one error every file operation raises. Its message is what the user
// sees in the error box, so it speaks the user's words, not errno names.
class IoError : public std::runtime_error {
public:
    static constexpr int ShortRead = -1; // a read that returned fewer bytes than asked
    static constexpr int NotMp3 = -2;    // neither an ID3v2 tag nor MPEG audio at its start
    static constexpr int TooShort = -3;  // shorter than the smallest MP3 file

    explicit IoError(int code);
    int code() const { return m_code; }

    // "File not found", "File access denied", "Disk full", "Is a folder",
    // "Read beyond end of file", "Not an MP3 file", "File too short to hold
    // MP3 audio", otherwise "I/O error %d".
    static std::string messageFor(int code);

private:
    int m_code;
};

// A limit of the tag format (a size the header cannot hold, for example):
// raised before any file is touched.
class TagError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace io
