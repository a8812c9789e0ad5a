#include "graphics/imageview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageView::setPicture(const QImage& picture) {
    m_picture = picture;
    if (m_autoSize && !m_picture.isNull()) resize(m_picture.size());
    update();
}

void ImageView::clearPicture() {
    m_picture = QImage();
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
    if (m_picture.isNull()) return;
    QPainter painter(this);
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
    } else {
        painter.drawImage(QPoint(0, 0), m_picture);
    }
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
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
