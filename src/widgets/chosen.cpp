// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/chosen.h"

#include <QAbstractButton>
#include <memory>

void whenChosen(QAbstractButton* button, std::function<void()> action) {
    // A click on an unchecked button checks it (the action runs on the check)
    // and then reports the click; only a click that checked nothing runs it.
    auto checkedAtPress = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::pressed, button,
                     [button, checkedAtPress] { *checkedAtPress = button->isChecked(); });
    QObject::connect(button, &QAbstractButton::toggled, button, [action](bool checked) {
        if (checked) action();
    });
    QObject::connect(button, &QAbstractButton::clicked, button, [action, checkedAtPress] {
        if (*checkedAtPress) action();
        *checkedAtPress = false;
    });
}
