// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QImage>
#include <QScrollArea>
#include <QWidget>

// How a preview fits a picture into its box: a side longer than its limit is
// scaled to its target, the other side in proportion; rounding to the nearest
// pixel (halves to even) or truncating.
struct FitRule {
    int limitWidth, limitHeight;
    int targetWidth, targetHeight;
    bool truncate;
};

// Shows one picture: stretched to the view's size, or drawn at its own size
// from the top-left corner and clipped. Assistive technology sees an image
// described by the picture's size and the size it is shown at.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    // With automatic sizing on, the view takes the size of every picture set.
    void setPicture(const QImage& picture);
    // Without a picture the view may say why (that it is being decoded).
    void clearPicture(const QString& note = {});
    const QString& note() const { return m_note; }
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }

    bool stretch() const { return m_stretch; }
    void setStretch(bool on);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

    // The three ways the buttons size the view.
    void originalSize();
    void fitToWindow(const FitRule& rule);
    void zoomIn();
    void zoomOut();

    // Zoom in stops here: a larger view could no longer be painted in time.
    static constexpr int MaxSide = 16384;

signals:
    void resized(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The accessible description: the picture's size and the size shown.
    void describe();

    QImage m_picture;
    QString m_note;
    bool m_stretch = false;
    bool m_autoSize = false;
};

// A scrolling box holding an image view at a fixed offset; scroll bars appear
// when the view reaches past the box.
class PreviewBox : public QScrollArea {
    Q_OBJECT
public:
    PreviewBox(QSize boxSize, QPoint viewOffset, QSize viewSize, QWidget* parent = nullptr);
    ImageView* view() const { return m_view; }

private:
    QWidget* m_canvas;
    ImageView* m_view;
    QPoint m_offset;
};
