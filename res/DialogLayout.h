#pragma once

// The shape of a dialog layout kept as data: the window's caption, font and
// size, then one row per control in tab order. Positions and sizes are in
// dialog units (a quarter of the font's average letter width across, an
// eighth of its height down), so a layout keeps its proportions whatever
// font the platform supplies.
namespace drovana {

enum class ControlKind {
    kEdit,
    kPushButton,
    kDefaultPushButton,
    kListBox,
    kAutoCheckBox,  // toggles itself when clicked
    kLabel,
    kProgressBar,
    kGreyFrame,
};

// Styles of a control beyond its kind; combined with |.
enum ControlStyle : unsigned {
    kNoStyle = 0,
    kTabStop = 1u << 0,
    kBorder = 1u << 1,
    kMultiColumn = 1u << 2,  // list flows into further columns
    kVScroll = 1u << 3,
    kHScroll = 1u << 4,
    kCentreVertically = 1u << 5,
};

// Controls that are never addressed carry this id.
inline constexpr int kNoControlId = -1;

struct DialogControl {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;
    unsigned style;
};

struct DialogLayout {
    int id;
    const char* caption;
    int pointSize;  // of the platform's sans-serif font
    int cx, cy;     // client area
    const DialogControl* controls;
    int controlCount;
};

}  // namespace drovana
