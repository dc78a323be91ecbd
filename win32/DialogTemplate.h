#pragma once

#include <windows.h>

#include <vector>

#include "DialogLayout.h"

// A dialog layout as the in-memory template CreateDialogIndirectParamW takes,
// so that Windows itself lays the controls out in dialog units of the
// dialog's font.
namespace drovana {

// The face every layout is shown in: the system's dialog font.
inline constexpr wchar_t kDialogFace[] = L"MS Shell Dlg";

// The window styles a control of the layout gets.
DWORD ControlStyle(const DialogControl& control);

// An extended dialog template (DLGTEMPLATEEX) of `layout`, a hidden pop-up
// with caption, system menu and modal frame, controls in the table's order.
// The words are DWORD-aligned where the format asks.
std::vector<WORD> BuildDialogTemplate(const DialogLayout& layout);

}  // namespace drovana
