// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QFileDialog>

class QLabel;

// The open dialog for pictures: Qt's own file dialog with a preview pane that
// shows the highlighted file as the program will show it, with its size.
class PictureFileDialog : public QFileDialog {
    Q_OBJECT
public:
    PictureFileDialog(QWidget* parent, const QString& folder, const QStringList& nameFilters);

    // Shows path in the preview pane, or says why it cannot be shown.
    void preview(const QString& path);
    QLabel* previewLabel() const { return m_preview; }
    QLabel* captionLabel() const { return m_caption; }

    static constexpr int PreviewSide = 180;

private:
    QLabel* m_preview;
    QLabel* m_caption;
};
