// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>
#include <QValidator>
#include <functional>
#include <string>

class QLineEdit;
class QComboBox;
class QPlainTextEdit;

// Tag text is Unicode, but a few fields are ISO-8859-1 in the tag formats (URLs,
// languages, the ID3v1.1 trailer). Those fields accept only characters it can
// hold, so nothing is ever stored as a silent "?" in place of a character.
class Latin1Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

bool isLatin1(const QString& text);
void restrictToLatin1(QLineEdit* edit);
void restrictToLatin1(QComboBox* combo); // editable combos
// While holds() is true, characters beyond ISO-8859-1 are taken out of the
// memo as they arrive.
void restrictToLatin1(QPlainTextEdit* memo, std::function<bool()> holds);
// Each character beyond ISO-8859-1 becomes "?", as where only ISO-8859-1 can stand.
QString withinLatin1(const QString& text);

// Model text (UTF-8) to widget text: shown up to its first zero character.
QString shownText(const std::string& modelText);
std::string modelText(const QString& shown);
