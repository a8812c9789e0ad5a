// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "app/qtuserdialogs.h"

#include "graphics/picturefiledialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QUrl>

namespace {

// The program writes its filters as "label|patterns|label|patterns", patterns
// separated by ";", labels that usually show their patterns already, as in
// "Image file (*.bmp)|*.bmp". Qt wants "label (patterns)" entries.
QStringList qtNameFilters(const QString& filter) {
    if (!filter.contains(QLatin1Char('|')))
        return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    static const QRegularExpression shown(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' '));
        const auto match = shown.match(parts[i]);
        const QString label = match.hasMatch() ? match.captured(1).trimmed() : parts[i];
        filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters;
}

} // namespace

void QtUserDialogs::message(QWidget* parent, const QString& text, const QString& caption,
                            Icon icon) {
    const QMessageBox::Icon qtIcon = icon == Icon::Error      ? QMessageBox::Critical
                                     : icon == Icon::Warning  ? QMessageBox::Warning
                                     : icon == Icon::Question ? QMessageBox::Question
                                                              : QMessageBox::Information;
    QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::question(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtUserDialogs::openPicture(QWidget* parent, const QString& folder, const QString& filter) {
    PictureFileDialog dialog(parent, folder, qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserDialogs::saveFile(QWidget* parent, const QString& folder, const QString& proposedName,
                                const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setNameFilters(qtNameFilters(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

bool QtUserDialogs::launch(const QString& target) {
    const QUrl url = target.contains(QLatin1Char(':')) && !target.startsWith(QLatin1Char('/'))
                         ? QUrl(target)
                         : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

void QtUserDialogs::beep() {
    QApplication::beep();
}
