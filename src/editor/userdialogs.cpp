#include "userdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

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
    // Qt's own dialog shows a preview of the chosen picture in its detail view.
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QString QtUserDialogs::saveFile(QWidget* parent, const QString& folder, const QString& proposedName,
                                const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), folder, filter);
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

QString withFullStop(const QString& text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
    return text;
}

void reportError(UserDialogs& dialogs, QWidget* parent, const QString& text) {
    dialogs.message(parent, withFullStop(text), ApplicationTitle, UserDialogs::Icon::Error);
}
