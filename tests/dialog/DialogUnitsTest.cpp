#include <gtest/gtest.h>

#include "DialogUnits.h"

namespace drovana {
namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroWithoutOverflow) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {363, 6, 4, 545},                // 544.5
        {7, 13, 8, 11},                  // 11.375
        {262, 13, 8, 426},               // 425.75
        {3, 6, 4, 5},                    // 4.5
        {-3, 6, 4, -5},                  // -4.5
        {3, -6, 4, -5},                  // -4.5
        {0, 6, 4, 0},                    //
        {2000000000, 3, 4, 1500000000},  // the product alone overflows int
        {2000000000, 3, 2, -1},          // the result does not fit
        {5, 5, 0, -1},                   //
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(BaseUnitsFromMetrics, AverageLetterWidthRoundsHalvesUpAndHeightPassesThrough) {
    struct Case {
        int alphabetWidth, height, x, y;
    };
    const Case cases[] = {
        {312, 13, 6, 13},  // exactly 6
        {337, 13, 6, 13},  // 6.48
        {338, 13, 7, 13},  // 6.5
        {363, 16, 7, 16},  // 6.98
        {364, 16, 7, 16},  // 7.0
        {389, 16, 7, 16},  // 7.48: the truncation to half pixels comes first
        {390, 16, 8, 16},  // 7.5
    };
    for (const Case& c : cases) {
        const DialogBaseUnits units = BaseUnitsFromMetrics(c.alphabetWidth, c.height);
        EXPECT_EQ(units.x, c.x) << "width " << c.alphabetWidth;
        EXPECT_EQ(units.y, c.y) << "height " << c.height;
    }
}

TEST(MapDialogRect, ScalesEachCoordinateAndExtentOnItsOwn) {
    struct Case {
        QRect dialogUnits;
        DialogBaseUnits units;
        QRect pixels;
    };
    const Case cases[] = {
        {{69, 7, 240, 15}, {6, 13}, {104, 11, 360, 24}},
        {{313, 189, 34, 13}, {6, 13}, {470, 307, 51, 21}},
        // Width 272 on its own; right edge minus left would give 375 - 104 = 271.
        {{69, 206, 181, 9}, {6, 13}, {104, 335, 272, 15}},
        {{5, 244, 351, 14}, {7, 16}, {9, 488, 614, 28}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapDialogRect(c.dialogUnits, c.units), c.pixels);
    }
    EXPECT_EQ(MapDialogSize(QSize(363, 262), DialogBaseUnits{6, 13}), QSize(545, 426));
}

}  // namespace
}  // namespace drovana
