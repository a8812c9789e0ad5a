// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QImage>
#include <QString>
#include <stdexcept>

namespace graphics {

// Why a picture cannot be shown. Its text is what the user reads in the error
// report: "Unknown picture file extension (.tif)", or which file is damaged.
class GraphicsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads the picture file at path with the decoder its extension names (letter
// case ignored): .jpg/.jpeg, .bmp, .ico, .png, .gif, .wmf, .emf, and the
// extensions of pictures stored under other MIME types of theirs (.x-wmf,
// .x-emf, .x-ms-bmp, .x-icon). The file is opened for reading only. Raises
// GraphicsError for another extension or for content its decoder refuses,
// naming the picture by name (by default the file's name); io::IoError when
// the file cannot be read. Bytes a decoder refused once are refused again
// without decoding. A metafile's decoding ends early, raising Cancelled,
// once cancelFd (see decodeApart) becomes readable.
QImage loadPicture(const QString& path, const QString& name = {}, int cancelFd = -1);

// A picture of a tag as messages name it: "Picture 2 \"Front\"", by its
// position in the list and its description (if any).
QString pictureName(int position, const QString& description);

// Whether a picture file goes to the metafile helper, and is worth loading
// while the window goes on.
bool decodedApart(const QString& path);

// One filter entry for every extension the loader takes, after an entry for all
// of them, in "label|patterns|label|patterns" form.
QString openPictureFilter();

} // namespace graphics
