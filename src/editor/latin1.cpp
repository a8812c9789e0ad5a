#include "latin1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

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

void restrictToLatin1(QPlainTextEdit* memo) {
    // A memo has no validator: characters it cannot hold are taken out again as
    // soon as they arrive, by typing or pasting.
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo] {
        const QString text = memo->toPlainText();
        if (isLatin1(text)) return;
        QString kept;
        kept.reserve(text.size());
        for (QChar c : text)
            if (c.unicode() <= 0xFF) kept += c;
        QTextCursor cursor = memo->textCursor();
        const int position = cursor.position() - int(text.size() - kept.size());
        const QSignalBlocker block(memo);
        memo->setPlainText(kept);
        cursor = memo->textCursor();
        cursor.setPosition(std::max(0, std::min<int>(position, int(kept.size()))));
        memo->setTextCursor(cursor);
    });
}

QString shownText(const std::string& modelText) {
    const auto zero = modelText.find('\0');
    const std::string_view shown(modelText.data(),
                                 zero == std::string::npos ? modelText.size() : zero);
    return QString::fromLatin1(shown.data(), qsizetype(shown.size()));
}

std::string modelText(const QString& shown) {
    const QByteArray bytes = shown.toLatin1();
    return std::string(bytes.constData(), size_t(bytes.size()));
}
