// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QLabel>

// The mark beside a field's label that says the user changed the field since
// the file was read (shown only then): a dot in the palette's highlight
// colour right after the label's text, and for assistive technology a label
// named after the field. It follows the label wherever the layout puts it,
// so that no page's layout has to make room for it.
class ChangeMark : public QLabel {
    Q_OBJECT
public:
    // field: what the field is called ("Album", "Comments").
    ChangeMark(QLabel* beside, const QString& field);

    void setChanged(bool changed);
    const QString& field() const { return m_field; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QLabel* m_beside;
    QString m_field;
};
