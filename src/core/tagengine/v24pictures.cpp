// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v24pictures.h"

#include <algorithm>

namespace v24 {

std::string_view pictureTypeName(uint8_t byte) {
    return byte < PictureTypeNames.size() ? PictureTypeNames[byte] : std::string_view();
}

uint8_t pictureTypeByte(std::string_view name) {
    for (size_t i = 0; i < PictureTypeNames.size(); ++i)
        if (PictureTypeNames[i] == name) return static_cast<uint8_t>(i);
    return 0;
}

std::string pictureFileName(int n, std::string_view mimeType) {
    std::string t(mimeType);
    if (auto slash = t.find('/'); slash != std::string::npos) t[slash] = '.';
    if (t.find("jpeg") != std::string::npos) {
        t.erase(t.size() - std::min<size_t>(5, t.size()));
        t += "jpg";
    } else if (!t.empty()) {
        t.pop_back();
    }
    if (t.size() > 100) t.resize(100);
    for (char& ch : t) {
        const bool safe = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                          (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' ||
                          ch == '_';
        if (!safe) ch = '_';
    }
    // The number must end where the MIME part begins: picture 1 of type
    // "2/x" and picture 12 of type "/x" would otherwise share 12.x, and the
    // second extraction would overwrite the first one's bytes.
    if (!t.empty() && t[0] >= '0' && t[0] <= '9') t.insert(0, 1, '_');
    return std::to_string(n) + t;
}

void ExtractPicture(tag::ReadContext& ctx, int n, std::string_view mimeType, const uint8_t* data,
                    uint64_t length) {
    const std::string path = ctx.tempFolder + pictureFileName(n, mimeType);
    ctx.result.pictures.edit(n).pictureFile = path;
    auto& sizes = ctx.result.extractedSizes;
    if (sizes.size() < static_cast<size_t>(n)) sizes.resize(static_cast<size_t>(n));
    sizes[static_cast<size_t>(n - 1)] = length;
    io::File out = tag::createFreshFile(ctx.tempFolder, path);
    // In blocks of at most 512 KiB, as every copy the program makes.
    for (uint64_t done = 0; done < length;) {
        const size_t block = static_cast<size_t>(std::min<uint64_t>(length - done, 0x80000));
        out.writeAt(data + done, block, done);
        done += block;
    }
    out.close();
}

} // namespace v24
