// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "services/userdialogs.h"

// The real thing: Qt's message boxes and file dialogs.
class QtUserDialogs : public UserDialogs {
public:
    void message(QWidget* parent, const QString& text, const QString& caption, Icon icon) override;
    bool question(QWidget* parent, const QString& text, const QString& caption) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QString openPicture(QWidget* parent, const QString& folder, const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& folder, const QString& proposedName,
                     const QString& filter, const QString& defaultSuffix) override;
    bool launch(const QString& target) override;
    void beep() override;
};
