// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/latin1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

QValidator::State Latin1Validator::validate(QString& input, int&) const {
    return isLatin1(input) ? Acceptable : Invalid;
}

bool isLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

void restrictToLatin1(QLineEdit* edit) {
    // A masked field validates through its mask (digits only) instead.
    if (edit->inputMask().isEmpty()) edit->setValidator(new Latin1Validator(edit));
}

void restrictToLatin1(QComboBox* combo) {
    if (combo->lineEdit()) combo->lineEdit()->setValidator(new Latin1Validator(combo));
}

void restrictToLatin1(QPlainTextEdit* memo, std::function<bool()> holds) {
    // A memo has no validator: characters it cannot hold are taken out again as
    // soon as they arrive, by typing or pasting. Only those characters are
    // removed; the document is not rebuilt from its plain text, which would
    // turn no-break spaces into spaces.
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, holds] {
        if (!holds()) return;
        QTextDocument* document = memo->document();
        QList<int> positions;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            for (int i = 0; i < text.size(); ++i)
                if (text[i].unicode() > 0xFF) positions.append(block.position() + i);
        }
        if (positions.isEmpty()) return;
        const QSignalBlocker block(memo);
        QTextCursor cursor(document);
        cursor.beginEditBlock();
        for (auto it = positions.crbegin(); it != positions.crend(); ++it) {
            cursor.setPosition(*it);
            cursor.setPosition(*it + 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
    });
}

QString withinLatin1(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    // By code point: a character beyond U+FFFF is two units and one "?".
    for (char32_t c : text.toUcs4())
        kept += c <= 0xFF ? QChar(char16_t(c)) : QChar(u'?');
    return kept;
}

QString shownText(const std::string& modelText) {
    const auto zero = modelText.find('\0');
    const std::string_view shown(modelText.data(),
                                 zero == std::string::npos ? modelText.size() : zero);
    return QString::fromUtf8(shown.data(), qsizetype(shown.size()));
}

std::string modelText(const QString& shown) {
    const QByteArray bytes = shown.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}
