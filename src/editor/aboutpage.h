// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QWidget>

class UserDialogs;

// Page 3: the picture, the title and the beta notice with its two links.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    AboutPage(UserDialogs& dialogs, QWidget* parent);

    static const QString BugReportLink;
    static const QString WebPageLink;

private slots:
    void BitBtn31Click(); // Report bug
    void BitBtn32Click(); // Check new version

private:
    UserDialogs& m_dialogs;
};
