// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/picturejob.h"

#include "graphics/imageview.h"
#include "graphics/isolateddecoder.h"
#include "graphics/pictureloader.h"

#include <exception>
#include <fcntl.h>
#include <unistd.h>

PictureJob::PictureJob(QObject* parent) : QObject(parent) {}

PictureJob::~PictureJob() {
    cancel();
}

void PictureJob::cancel() {
    ++m_load;
    if (m_thread.joinable()) {
        // The decoder sees the byte, kills its helper and returns at once.
        const char stop = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_cancel[1], &stop, 1);
        m_thread.join();
    }
    for (int& fd : m_cancel)
        if (fd >= 0) ::close(fd), fd = -1;
}

void PictureJob::start(const QString& path, const QString& name) {
    cancel();
    if (::pipe2(m_cancel, O_CLOEXEC) != 0) {
        emit failed(QStringLiteral("%1 cannot be shown now").arg(name));
        return;
    }
    const quint64 load = m_load;
    // The answer comes back through the event loop; a load given up on by
    // then is not the one awaited.
    auto answer = [this, load](auto deliver) {
        QMetaObject::invokeMethod(
            this,
            [this, load, deliver] {
                if (load != m_load) return;
                if (m_thread.joinable()) m_thread.join();
                deliver();
            },
            Qt::QueuedConnection);
    };
    m_thread = std::thread([this, answer, path, name, cancelFd = m_cancel[0]] {
        try {
            const QImage picture = graphics::loadPicture(path, name, cancelFd);
            answer([this, picture] { emit loaded(picture); });
        } catch (const graphics::Cancelled&) {
        } catch (const std::exception& e) {
            answer([this, message = QString::fromLocal8Bit(e.what())] { emit failed(message); });
        }
    });
}

void PictureJob::showIn(ImageView* view, std::function<void()> shown,
                        std::function<void(const QString&)> failed) {
    m_view = view;
    connect(this, &PictureJob::loaded, this, [this, shown](const QImage& picture) {
        m_view->setPicture(picture);
        shown();
    });
    connect(this, &PictureJob::failed, this, [this, failed](const QString& message) {
        m_view->clearPicture();
        failed(message);
    });
}

bool PictureJob::show(const QString& path, const QString& name) {
    // A picture that cannot be shown leaves the view empty, not showing the last one.
    cancel();
    m_view->clearPicture();
    if (graphics::decodedApart(path)) {
        m_view->clearPicture(tr("Decoding…"));
        start(path, name);
        return false;
    }
    m_view->setPicture(graphics::loadPicture(path, name));
    return true;
}
