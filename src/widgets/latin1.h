#pragma once

#include <QString>
#include <QValidator>
#include <string>

class QLineEdit;
class QComboBox;
class QPlainTextEdit;

// Tag text is single-byte ISO-8859-1. Fields accept only characters it can hold,
// so nothing is ever stored as a silent "?" in place of a character.
class Latin1Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

bool isLatin1(const QString& text);
void restrictToLatin1(QLineEdit* edit);
void restrictToLatin1(QComboBox* combo); // editable combos
void restrictToLatin1(QPlainTextEdit* memo);

// Model text to widget text: shown up to its first zero character.
QString shownText(const std::string& modelText);
std::string modelText(const QString& shown);
