#include <gtest/gtest.h>

#include "DialogUnits.h"

namespace drovana {
namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroWithoutOverflow) {
    const struct {
        int number, numerator, denominator, expected;
    } cases[] = {
        {363, 6, 4, 545},       {262, 13, 8, 426}, {7, 13, 8, 11},
        {-3, 6, 4, -5},         {3, -6, 4, -5},    {2000000000, 3, 4, 1500000000},
        {2000000000, 3, 2, -1}, {5, 5, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected) << c.number;
    }
}

TEST(DialogUnits, BaseUnitsRoundTheAverageLetterAndScaleEachExtentOnItsOwn) {
    // 52 letters of 337, 338 and 389 pixels: averages 6.48, 6.5 and 7.48.
    EXPECT_EQ(BaseUnitsFromMetrics(337, 13).x, 6);
    EXPECT_EQ(BaseUnitsFromMetrics(338, 13).x, 7);
    EXPECT_EQ(BaseUnitsFromMetrics(389, 16).x, 7);
    EXPECT_EQ(BaseUnitsFromMetrics(389, 16).y, 16);

    // Width 272 from 181 units; right minus left edge would give 375 - 104 = 271.
    EXPECT_EQ(MapDialogRect(QRect(69, 206, 181, 9), {6, 13}), QRect(104, 335, 272, 15));
    EXPECT_EQ(MapDialogSize(QSize(363, 262), {6, 13}), QSize(545, 426));
}

}  // namespace
}  // namespace drovana
