// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/imageview.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Assistive technology sees a preview as an image, not as an empty panel.
QAccessibleInterface* accessibleImageView(const QString& className, QObject* object) {
    if (className == QLatin1String("ImageView") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}
} // namespace

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleImageView), true);
    Q_UNUSED(accessible);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAccessibleName(tr("Picture preview"));
    describe();
}

void ImageView::describe() {
    const QString shown = tr("%1 by %2 pixels").arg(width()).arg(height());
    if (m_picture.isNull() && !m_note.isEmpty())
        setAccessibleDescription(tr("%1; %2").arg(m_note, shown));
    else
        setAccessibleDescription(m_picture.isNull() ? tr("No picture; %1").arg(shown)
                                                    : tr("Picture of %1 by %2 pixels, shown at %3")
                                                          .arg(m_picture.width())
                                                          .arg(m_picture.height())
                                                          .arg(shown));
}

void ImageView::setPicture(const QImage& picture) {
    m_picture = picture;
    m_note.clear();
    if (m_autoSize && !m_picture.isNull()) resize(m_picture.size());
    describe();
    update();
}

void ImageView::clearPicture(const QString& note) {
    m_picture = QImage();
    m_note = note;
    describe();
    update();
}

void ImageView::setStretch(bool on) {
    m_stretch = on;
    update();
}

void ImageView::setAutoSize(bool on) {
    m_autoSize = on;
    if (on && !m_picture.isNull()) resize(m_picture.size());
}

void ImageView::originalSize() {
    // Without a picture there is no size to take.
    if (m_picture.isNull()) return;
    resize(m_picture.size());
    setStretch(true);
}

void ImageView::fitToWindow(const FitRule& rule) {
    setStretch(false);
    setAutoSize(false);
    const int h = m_picture.height(), w = m_picture.width();
    double factor;
    if (h > w && h > rule.limitHeight)
        factor = double(h) / rule.targetHeight;
    else if (h <= w && w > rule.limitWidth)
        factor = double(w) / rule.targetWidth;
    else
        return; // shown unscaled in the view's current size
    // nearbyint rounds halves to even in the default rounding mode.
    auto side = [&](int v) {
        return int(rule.truncate ? std::trunc(v / factor) : std::nearbyint(v / factor));
    };
    resize(side(w), side(h));
    setStretch(true);
}

void ImageView::zoomIn() {
    if (width() * 2 > MaxSide || height() * 2 > MaxSide) return;
    resize(width() * 2, height() * 2);
}

void ImageView::zoomOut() {
    // A view halved down to nothing could not be zoomed in again.
    resize(std::max(1, width() / 2), std::max(1, height() / 2));
}

void ImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_note);
        return;
    }
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
    } else {
        painter.drawImage(QPoint(0, 0), m_picture);
    }
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    describe();
    emit resized(size());
}

PreviewBox::PreviewBox(QSize boxSize, QPoint viewOffset, QSize viewSize, QWidget* parent)
    : QScrollArea(parent), m_canvas(new QWidget), m_offset(viewOffset) {
    setFixedSize(boxSize);
    setBackgroundRole(QPalette::Base);
    m_view = new ImageView(m_canvas);
    m_view->move(viewOffset);
    // The canvas reaches exactly to the view's far edges, so the scroll bars
    // come as soon as the view passes the box.
    connect(m_view, &ImageView::resized, this,
            [this](QSize size) { m_canvas->resize(QSize(m_offset.x(), m_offset.y()) + size); });
    m_view->resize(viewSize);
    m_canvas->resize(QSize(m_offset.x(), m_offset.y()) + viewSize);
    setWidget(m_canvas);
}
