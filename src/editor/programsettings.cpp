// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/programsettings.h"

#include "services/nativepath.h"
#include "services/programfolder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace {

const char* const PositionSection = "Position";
const char* const PathSection = "Path";
const char* const TemplateSection = "Rename Template";
constexpr int DefaultLeft = 73;
constexpr int DefaultTop = 56;

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string rowKey(size_t row, const char* word) {
    return std::to_string(row) + word;
}

// A position saved on a screen that is gone would open the window where
// nobody can see it; such a position gives way to the default one.
QPoint visiblePosition(QPoint saved) {
    const QPoint titleBar = saved + QPoint(40, 10);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(titleBar)) return saved;
    return QPoint(DefaultLeft, DefaultTop);
}

// The key of each dialog folder, and where the dialog starts before the user
// has chosen a file with it: exports in the program's own folder, the open
// dialogs in the user's home.
struct FolderKey {
    const char* key;
    QString (*defaultFolder)();
};
const std::array<FolderKey, 3> FolderKeys{{
    {"ImageSaveDir", [] { return programFolder() + QStringLiteral("Export Images/"); }},
    {"OpenPictureDir", homeFolder},
    {"OpenTextDir", homeFolder},
}};

} // namespace

ProgramSettings::ProgramSettings()
    : m_profile(nativePath(programFolder() + QStringLiteral("quillet.ini"))) {}

QPoint ProgramSettings::position() const {
    const int left = m_profile.readInteger(PositionSection, "Left", DefaultLeft);
    const int top = m_profile.readInteger(PositionSection, "Top", DefaultTop);
    return visiblePosition(QPoint(left, top));
}

void ProgramSettings::writePosition(QPoint position) {
    m_profile.writeInteger(PositionSection, "Left", position.x());
    m_profile.writeInteger(PositionSection, "Top", position.y());
}

QString ProgramSettings::folder(Folder which) const {
    const FolderKey& f = FolderKeys[size_t(which)];
    return fromUtf8(m_profile.readString(PathSection, f.key, utf8(f.defaultFolder())));
}

void ProgramSettings::writeFolderOf(Folder which, const QString& lastFile) {
    if (lastFile.isEmpty()) return;
    m_profile.writeString(PathSection, FolderKeys[size_t(which)].key,
                          utf8(extractdialogpath(lastFile)));
}

renamer::Template ProgramSettings::renameTemplate() const {
    const int count = m_profile.readInteger(TemplateSection, "NumberOfItems", 0);
    renamer::Template rows;
    for (int row = 1; row <= count; ++row) {
        auto value = [&](const char* word) {
            return m_profile.readString(TemplateSection, rowKey(size_t(row), word), "");
        };
        rows.push_back({value("Prefix"), value("FrameName"), value("Suffix")});
    }
    return rows;
}

void ProgramSettings::writeTemplate(const renamer::Template& rows) {
    m_profile.writeInteger(TemplateSection, "NumberOfItems", int(rows.size()));
    for (size_t row = 1; row <= rows.size(); ++row) {
        const renamer::TemplateRow& r = rows[row - 1];
        m_profile.writeString(TemplateSection, rowKey(row, "Prefix"), r.prefix);
        m_profile.writeString(TemplateSection, rowKey(row, "Framename"), r.frameName);
        m_profile.writeString(TemplateSection, rowKey(row, "Suffix"), r.suffix);
    }
}

// --- Helpers ---------------------------------------------------------------------

QString extractdialogpath(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

void cleanTempFolder(const QString& folder) {
    static const char* const patterns[] = {"*.jpg", "*.jpeg", "*.bmp", "*.wmf", "*.emf", "*.ico"};
    const QDir dir(folder);
    for (const char* pattern : patterns) {
        // One listing per pattern: each match is tried once, so an entry that
        // will not go away cannot keep the loop turning.
        const QStringList names =
            dir.entryList({QString::fromLatin1(pattern)},
                          QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            QFile::remove(dir.filePath(name));
    }
}
