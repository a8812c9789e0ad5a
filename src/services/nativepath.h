// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

// File names between the window (QString) and the core (bytes as the file
// system has them): a name that is not valid UTF-8 still names its file.
inline std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
inline QString fromNativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
