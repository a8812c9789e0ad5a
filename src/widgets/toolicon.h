// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QIcon>
#include <QPalette>
#include <QString>

// The icon of a drawing (an SVG resource) as a control shows it in the given
// palette. The drawings are dark on light; in a dark palette each gets a
// light rim, so that dark strokes (a gear's teeth, an arrow) stay readable on
// a dark window and on a selected button.
QIcon toolIcon(const QString& resource, const QPalette& palette);

// Whether a palette is dark: its window darker than its text.
bool isDark(const QPalette& palette);
