#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog units to pixels, computed the way the Win32 dialog manager does it,
// so a layout drawn in dialog units keeps its proportions with any font.
namespace drovana {

// Pixels per 4 horizontal and per 8 vertical dialog units.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// number * numerator / denominator, rounded half away from zero, without
// intermediate overflow; -1 for a zero denominator or a result beyond int.
int MulDiv(int number, int numerator, int denominator);

// From the width of the 52 letters A-Z and a-z together and the font height:
// x is their average width rounded to the nearest pixel (halves up), y the height.
DialogBaseUnits BaseUnitsFromMetrics(int alphabetWidth, int fontHeight);
DialogBaseUnits BaseUnitsOfFont(const QFont& font);

// Each coordinate and extent is scaled on its own, as the dialog manager
// places controls.
QRect MapDialogRect(const QRect& dialogUnits, DialogBaseUnits units);
QSize MapDialogSize(const QSize& dialogUnits, DialogBaseUnits units);

}  // namespace drovana
