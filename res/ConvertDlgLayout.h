#pragma once

#include "DialogLayout.h"

// Dialog layout 129: the converter dialog, its control ids and where each
// control sits.
namespace drovana {

// Control ids. Handlers, tooltips and tests find controls by these.
enum ConvertDlgControlId : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdShpSelect = 1001,
    kIdFileList = 1002,
    kIdPegFolderEdit = 1003,
    kIdUpdateOnly = 1007,
    kIdProgress = 1009,
    kIdStatus = 1010,
    kIdPegSelect = 1018,
    kIdShpFolderEdit = 1680,
    kIdFileCount = 1681,
};

inline constexpr int kConvertDlgLayoutId = 129;

inline constexpr unsigned kFolderEditStyle = kBorder | kTabStop;

inline constexpr DialogControl kConvertDlgControls[] = {
    {kIdShpFolderEdit, ControlKind::kEdit, "", 69, 7, 240, 15, kFolderEditStyle},
    {kIdShpSelect, ControlKind::kPushButton, "Select...", 313, 7, 34, 15, kTabStop},
    {kIdFileList, ControlKind::kListBox, "", 5, 28, 351, 150,
     kMultiColumn | kVScroll | kHScroll | kBorder | kTabStop},
    {kIdPegFolderEdit, ControlKind::kEdit, "", 69, 189, 240, 13, kFolderEditStyle},
    {kIdPegSelect, ControlKind::kPushButton, "Select...", 313, 189, 34, 13, kTabStop},
    {kIdUpdateOnly, ControlKind::kAutoCheckBox,
     "Convert only maps not found already on PeG Folder:", 69, 206, 181, 9, kTabStop},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 315, 226, 37, 16, kTabStop},
    {kIdOk, ControlKind::kDefaultPushButton, "OK", 265, 226, 37, 16, kTabStop},
    {kNoControlId, ControlKind::kLabel, "PG2 Maps Folder", 9, 9, 57, 13, kCentreVertically},
    {kNoControlId, ControlKind::kLabel, "PeG Maps Folder", 9, 189, 57, 13, kCentreVertically},
    {kIdProgress, ControlKind::kProgressBar, "Progress1", 5, 244, 351, 14, kBorder},
    {kIdStatus, ControlKind::kLabel, "Doing file", 7, 231, 245, 8, kCentreVertically},
    {kNoControlId, ControlKind::kGreyFrame, "", 5, 182, 351, 39, kNoStyle},
    {kIdFileCount, ControlKind::kLabel, "PG2 Files", 255, 206, 93, 9, kCentreVertically},
};

inline constexpr DialogLayout kConvertDlgLayout = {
    kConvertDlgLayoutId,
    "Convert PG2 - SHP files to Peoples S16 format  *  Tavrel 1.2 - Aug  2004",
    8,
    363,
    262,
    kConvertDlgControls,
    static_cast<int>(sizeof(kConvertDlgControls) / sizeof(kConvertDlgControls[0])),
};

}  // namespace drovana
