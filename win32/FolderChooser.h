#pragma once

#include <windows.h>

#include <string>

namespace drovana {

// The system's folder chooser, modal to `owner`, opened on `startFolder`
// with `prompt` as its title: the shell's file dialog picking folders, or
// the older folder browser where that is missing. Returns the chosen folder
// as the chooser spells it, or "" on cancel.
std::wstring ChooseFolder(HWND owner, const std::wstring& startFolder, const std::wstring& prompt);

}  // namespace drovana
