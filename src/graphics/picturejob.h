// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <thread>

class ImageView;

// Loads one picture file at a time off the window's thread (a metafile's
// helper may take seconds), so that the window goes on painting and
// answering. A new load, cancel() or the job's end gives up the load in hand:
// its helper is killed, and its answer is never delivered.
class PictureJob : public QObject {
    Q_OBJECT
public:
    explicit PictureJob(QObject* parent = nullptr);
    ~PictureJob() override;

    // Loads path as graphics::loadPicture does, the picture named name in
    // an error; loaded or failed follows, on the window's thread.
    void start(const QString& path, const QString& name);
    void cancel();
    bool busy() const { return m_thread.joinable(); }

    // The job's answers go to view: the picture, then shown(); or the view
    // emptied, then failed(message).
    void showIn(ImageView* view, std::function<void()> shown,
                std::function<void(const QString&)> failed);
    // Shows path in that view, the picture named name in an error: a
    // metafile through the job (the view says "Decoding…" meanwhile), any
    // other picture at once (true; what graphics::loadPicture raises is
    // raised, the view left empty).
    bool show(const QString& path, const QString& name);

signals:
    void loaded(const QImage& picture);
    void failed(const QString& message);

private:
    std::thread m_thread;
    int m_cancel[2] = {-1, -1}; // written to give up the load in hand
    quint64 m_load = 0;         // the load whose answer is awaited
    ImageView* m_view = nullptr;
};
