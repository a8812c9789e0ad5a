#include "widgets/loopprogress.h"

#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>
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
