// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/picturefiledialog.h"

#include "graphics/pictureloader.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

PictureFileDialog::PictureFileDialog(QWidget* parent, const QString& folder,
                                     const QStringList& nameFilters)
    : QFileDialog(parent, tr("Open picture"), folder) {
    setObjectName(QStringLiteral("OpenPictureDialog1"));
    // The preview pane needs Qt's own dialog; a platform dialog has no room for it.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(nameFilters);

    auto* pane = new QWidget(this);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(6, 0, 0, 0);
    m_preview = new QLabel(pane);
    m_preview->setObjectName(QStringLiteral("PicturePreview"));
    m_preview->setAccessibleName(tr("Picture preview"));
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setWordWrap(true);
    m_caption = new QLabel(pane);
    m_caption->setAlignment(Qt::AlignHCenter);
    m_caption->setWordWrap(true);
    m_caption->setFixedWidth(PreviewSide);
    paneLayout->addWidget(m_preview);
    paneLayout->addWidget(m_caption);
    paneLayout->addStretch(1);
    // Qt's dialog lays itself out in a grid; the pane takes a column to the right.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &PictureFileDialog::preview);
    resize(780, 440);
}

void PictureFileDialog::preview(const QString& path) {
    m_preview->clear();
    m_caption->clear();
    const QFileInfo info(path);
    if (!info.isFile()) return;
    try {
        const QImage picture = graphics::loadPicture(path);
        const QSize box(PreviewSide - 4, PreviewSide - 4);
        const QImage shown =
            picture.width() > box.width() || picture.height() > box.height()
                ? picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : picture;
        m_preview->setPixmap(QPixmap::fromImage(shown));
        m_caption->setText(tr("%1 x %2").arg(picture.width()).arg(picture.height()));
    } catch (const std::exception& e) {
        m_preview->setText(tr("(no preview)"));
        m_caption->setText(QString::fromUtf8(e.what()));
    }
}
