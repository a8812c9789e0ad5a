// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "graphics/decoders.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <string>

// Metafiles are decoded in a small process of their own, quillet-picture: libwmf
// and libemf2svg crash, exhaust memory or loop on some damaged files, and that
// must end the helper, not the window with the user's unsaved edits.
namespace graphics {

// Decodes the bytes of a metafile of the given kind ("wmf" or "emf", or "svg"
// for the drawing both become) in quillet-picture. Raises DecodeError
// (TooLargeError) as the decoders do, and DecodeError too when the helper
// fails, overruns its limits or cannot start.
QImage decodeApart(const QByteArray& bytes, const char* kind);
// The helper could not be started or waited for: a failure of the moment,
// which says nothing about the bytes.
class HelperUnavailable : public DecodeError {
public:
    using DecodeError::DecodeError;
};

// A decoding given up on: the helper is killed, and there is no answer.
struct Cancelled {};
// Decodes as above until cancelFd (a pipe's reading end, -1 for none)
// becomes readable, and then raises Cancelled.
QImage decodeApart(const QByteArray& bytes, const char* kind, int cancelFd);
// The same through another helper program (tests stand in a failing one).
QImage decodeApart(const QByteArray& bytes, const char* kind, const std::string& helperPath,
                   int cancelFd = -1);

// What the window and the helper agree on.
namespace apart {

inline constexpr char WorkerName[] = "quillet-picture";

// The helper's own limits, set before it reads a byte, and the window's
// deadline for its answer.
inline constexpr int CpuSeconds = 3;
inline constexpr int DeadlineMilliseconds = 4000;
inline constexpr uint64_t AddressSpaceBytes = uint64_t(1) << 30;
// A picture file is read whole; a tag cannot hold a larger one.
inline constexpr uint64_t MaxInputBytes = uint64_t(256) << 20;

// The answer on the helper's standard output: one tag byte, then
//  Picture:  width, height (uint32, host order), width * height ARGB32 pixels
//            (premultiplied), line after line;
//  TooLarge: width, height of the refused picture;
//  Failure:  the reason, as text, to the end.
enum Tag : char { Picture = 'P', TooLarge = 'L', Failure = 'E' };
inline constexpr size_t HeaderBytes = 1 + 2 * sizeof(uint32_t);

} // namespace apart
} // namespace graphics
