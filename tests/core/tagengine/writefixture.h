// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/ioerror.h"
#include "support/testfiles.h"
#include "tagengine/syncsafe.h"
#include "tagengine/writetag.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>

using testing_support::operator+;
using testing_support::operator+=;

// The writer on song.mp3 in a fresh folder, fed a WriterInput of its own.
class WriteFixture : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    std::unique_ptr<tag::WriterInput> inputOwner = std::make_unique<tag::WriterInput>();
    tag::WriterInput& in = *inputOwner;
    const std::string song = dir.file("song.mp3");

    void setText(tag::Prop p, std::string value) { in.text(p) = std::move(value); }
    // An existing picture file holding data.
    std::string picture(const testing_support::Bytes& data, const std::string& name = "pic.png") {
        const std::string path = dir.file(name);
        testing_support::writeFile(path, data);
        return path;
    }
    // The old tag as a read finds it: its size after the header, and whether there is one.
    void write(uint32_t oldTagSize, bool present) {
        in.Id3v2present = present;
        writetag::WriteTag(in, present ? uint64_t{oldTagSize} + 10 : 0, song);
    }
    // The message of the error the write raises, or "" when it succeeds.
    std::string writeError(uint32_t oldTagSize, bool present) {
        try {
            write(oldTagSize, present);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }
    testing_support::Bytes file() const { return testing_support::readFile(song); }
};

inline testing_support::Bytes text24(std::string_view id, std::string_view value) {
    return testing_support::frame24(id, testing_support::Bytes{0} + testing_support::bytes(value));
}

inline std::string zeroEnded(std::string_view s) {
    return std::string(s) + '\0';
}

inline unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

inline ino_t inodeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}
