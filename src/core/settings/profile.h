// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The settings file: an initialization file of "[Section]" header lines and
// "key=value" lines, read and written with the semantics of the classic
// profile functions: sections and keys match without regard to letter case,
// missing entries give the caller's default, and every write goes to the file
// at once.
namespace settings {

// A string value is read up to this many characters.
inline constexpr size_t MaxValueLength = 2047;

// The value of key in section of a profile's text: blanks around it removed,
// then one pair of matching quotes (' or ") around it removed, then cut to
// MaxValueLength. Empty when the section or key is missing.
std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// The profile's text with key in section set to value: an existing line is
// rewritten in place (its key keeps its spelling), a new key goes after the
// last line of the first such section, a new section is appended. Every other
// line stays as it was. A value is cut at its first line break or zero
// character (one value per line), and quoted when its blanks at either end or
// its own quotes would otherwise be lost on reading.
std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

// An integer as written in a profile: decimal with an optional sign, or
// hexadecimal after "0x"/"0X" when the text is longer than two characters.
// Empty when the text is not such an integer or does not fit 32 bits.
std::optional<int> parseInteger(std::string_view text);

// A write that did not reach the file: "Unable to write to <path>".
class WriteError : public std::runtime_error {
public:
    explicit WriteError(const std::string& path)
        : std::runtime_error("Unable to write to " + path) {}
};

// The settings file itself. Every read reads the file, every write rewrites it
// safely (a new file beside it, flushed, then renamed over it), so the file on
// disk always holds either the old or the new contents. A missing or
// unreadable file reads as empty.
class Profile {
public:
    explicit Profile(std::string path) : m_path(std::move(path)) {}
    const std::string& path() const { return m_path; }

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Raise WriteError when the file cannot be written.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);

    // The file's whole text; empty when it is missing or unreadable.
    std::string text() const;

private:
    std::string m_path;
};

} // namespace settings
