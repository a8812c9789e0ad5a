// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/ioerror.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

using testing_support::operator+;
using testing_support::operator+=;

// A tag component reading files written into a fresh folder.
class ReadFixture : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    std::unique_ptr<ID3v24> tagOwner = std::make_unique<ID3v24>();
    ID3v24& tag = *tagOwner;

    std::string temp() const { return dir.path() + "Temp/"; }

    // Writes the bytes (plus audio) as song.mp3 and reads it in full.
    void read(const testing_support::Bytes& tagBytes, bool withAudio = true) {
        load(put(tagBytes, withAudio));
    }
    std::string put(const testing_support::Bytes& tagBytes, bool withAudio = true,
                    const std::string& name = "song.mp3") {
        const std::string path = dir.file(name);
        testing_support::writeFile(path,
                                   withAudio ? tagBytes + testing_support::audio() : tagBytes);
        return path;
    }
    void load(const std::string& path, bool headerOnly = false) {
        tag.FileName = path;
        tag.ReadTag(temp(), headerOnly);
    }
    // The message of the I/O error the read raises, or "" when it succeeds.
    std::string readError(const std::string& path, bool headerOnly = false) {
        try {
            load(path, headerOnly);
        } catch (const io::IoError& e) {
            return e.what();
        }
        return {};
    }
    std::string title() const { return tag.text(tag::Prop::Title); }
};

inline std::string str(std::string_view s) {
    return std::string(s);
}
