// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/aboutpage.h"

#include "editor/fmxutils.h"
#include "widgets/toolicon.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const QString AboutPage::BugReportLink =
    QStringLiteral("mailto:support@quillet.example.org?subject=Bug Report");
const QString AboutPage::WebPageLink = QStringLiteral("https://quillet.example.org/");

AboutPage::AboutPage(UserDialogs& dialogs, QWidget* parent) : QWidget(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TabSheet6"));
    setAccessibleName(QStringLiteral("About"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image3"));
    picture->setPixmap(toolIcon(QStringLiteral(":/icons/about.svg"), palette()).pixmap(96, 96));
    picture->setAccessibleName(QStringLiteral("Quillet"));
    auto* title = new QLabel(QStringLiteral("About"), this);
    QFont font = title->font();
    font.setBold(true);
    font.setPixelSize(16);
    title->setFont(font);

    auto* group = new QGroupBox(QStringLiteral(" Beta version "), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* text = new QLabel(QStringLiteral("This is just a beta version!!!\n"
                                           "If you found some bugs\n"
                                           "or you've got some suggestions please report them!\n"
                                           "Please check web for full version!"),
                            group);
    auto* report = new QPushButton(QStringLiteral("Report bug"), group);
    report->setObjectName(QStringLiteral("BitBtn31"));
    auto* check = new QPushButton(QStringLiteral("Check new version"), group);
    check->setObjectName(QStringLiteral("BitBtn32"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(report);
    buttons->addWidget(check);
    buttons->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(text);
    groupLayout->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(group);
    layout->addStretch();
    connect(report, &QPushButton::clicked, this, &AboutPage::BitBtn31Click);
    connect(check, &QPushButton::clicked, this, &AboutPage::BitBtn32Click);
}

void AboutPage::BitBtn31Click() {
    fmxutils::LaunchFile(m_dialogs, BugReportLink, QString(), QString(), 1);
}

void AboutPage::BitBtn32Click() {
    fmxutils::LaunchFile(m_dialogs, WebPageLink, QString(), QString(), 1);
}
