// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/ioerror.h"

#include <cerrno>

namespace io {

IoError::IoError(int code) : std::runtime_error(messageFor(code)), m_code(code) {}

std::string IoError::messageFor(int code) {
    switch (code) {
    case ShortRead:
        return "Read beyond end of file";
    case NotMp3:
        return "Not an MP3 file";
    case TooShort:
        return "File too short to hold MP3 audio";
    case EISDIR:
        return "Is a folder";
    case ENOENT:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

} // namespace io
