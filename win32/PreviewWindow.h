#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

// A window beside the dialog showing a map and its S16 picture side by side,
// each under its caption, shrunk to fit the window. Esc closes it.
namespace drovana {

// Opens a preview of the map `map` converted to `target`, owned by `owner`;
// returns its window.
HWND OpenPreview(HWND owner, const std::filesystem::path& map, const std::filesystem::path& target);

// The captions a preview shows, left and right, joined by a line break.
std::wstring PreviewCaptions(HWND preview);

// Closes every preview `owner` opened.
void ClosePreviews(HWND owner);

}  // namespace drovana
