#include "DialogUnits.h"

#include <QFontMetrics>
#include <QString>
#include <cstdint>
#include <limits>

namespace drovana {

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = std::int64_t{number} * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor = denominator < 0 ? -std::int64_t{denominator} : denominator;
    const std::int64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(negative ? -rounded : rounded);
}

DialogBaseUnits BaseUnitsFromMetrics(int alphabetWidth, int fontHeight) {
    // Twice the average, truncated, then halved with rounding: the dialog
    // manager's own integer steps, which decide the last pixel.
    return {(alphabetWidth / 26 + 1) / 2, fontHeight};
}

DialogBaseUnits BaseUnitsOfFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFromMetrics(width, metrics.height());
}

QRect MapDialogRect(const QRect& dialogUnits, DialogBaseUnits units) {
    return {MulDiv(dialogUnits.x(), units.x, 4), MulDiv(dialogUnits.y(), units.y, 8),
            MulDiv(dialogUnits.width(), units.x, 4), MulDiv(dialogUnits.height(), units.y, 8)};
}

QSize MapDialogSize(const QSize& dialogUnits, DialogBaseUnits units) {
    return {MulDiv(dialogUnits.width(), units.x, 4), MulDiv(dialogUnits.height(), units.y, 8)};
}

}  // namespace drovana
