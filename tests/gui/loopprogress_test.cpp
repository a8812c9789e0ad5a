// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/loopprogress.h"

#include <QLabel>
#include <QProgressBar>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(Progress, HalvesToEven) {
    std::vector<int> steps;
    for (int i = 1; i <= 8; ++i)
        steps.push_back(progressPosition(i, 8));
    EXPECT_EQ(steps, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(progressPosition(3, 3), 100);
    EXPECT_EQ(progressPosition(1, 3), 33);
    EXPECT_EQ(progressPosition(2, 3), 67);
}

// The formula in exact arithmetic: step = 100 / n as a float is m * 2^-k
// with m an integer below 2^24, so i * step rounds as i * m over 2^k does.
int exactPosition(int i, int n) {
    const float step = 100.0f / float(n);
    int exponent = 0;
    const float mantissa = std::frexp(step, &exponent); // step = mantissa * 2^exponent
    const int64_t m = int64_t(std::ldexp(mantissa, 24));
    const int shift = 24 - exponent;
    const int64_t product = int64_t(i) * m;
    const int64_t whole = product >> shift, rest = product & ((int64_t(1) << shift) - 1);
    const int64_t half = int64_t(1) << (shift - 1);
    return int(whole + (rest > half || (rest == half && whole % 2 == 1)));
}

TEST(Progress, EveryStepUpTo5000FilesFollowsTheFormula) {
    EXPECT_EQ(progressPosition(9, 24), 37); // just below 37.5, not rounded up to it first
    int wrong = 0;
    std::string first;
    for (int n = 1; n <= 5000; ++n) {
        for (int i = 1; i <= n; ++i) {
            if (progressPosition(i, n) == exactPosition(i, n)) continue;
            if (wrong++ == 0) first = std::to_string(i) + " of " + std::to_string(n);
        }
    }
    EXPECT_EQ(wrong, 0) << "first: " << first;
}

TEST(Progress, BarAndLabelShowDoneOfTotal) {
    QProgressBar bar;
    QLabel label;
    showProgress(&bar, &label, 3, 12);
    EXPECT_EQ(bar.value(), 25);
    EXPECT_EQ(label.text(), "3 of 12");
    showProgress(&bar, &label, 0, 0); // before a loop: no step to compute
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(label.text(), "0 of 0");
}

} // namespace
