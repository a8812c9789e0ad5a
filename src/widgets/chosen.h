// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <functional>

class QAbstractButton;

// Runs action whenever a checkable button is chosen, however it is pressed:
// a click or a key, the program checking it, or the Toggle action that
// assistive technology offers for checkable buttons, which checks the button
// without clicking it. A click on a button that is checked already runs the
// action too, as a click on a pressed tool button of a group does.
void whenChosen(QAbstractButton* button, std::function<void()> action);
