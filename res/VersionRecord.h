#pragma once

#include "Version.h"

// The program's version record: what it says about itself to the system and
// to anyone asking which build this is. The texts are kept as first written.
namespace drovana {

inline constexpr const char* kFileVersionText = "1, 0, 0, 1";
inline constexpr const char* kProductVersionText = "1, 0, 0, 1";
inline constexpr const char* kFileDescription = "Drovana MFC Application";
inline constexpr const char* kInternalName = "Drovana";
inline constexpr const char* kOriginalFilename = "Drovana.EXE";
inline constexpr const char* kProductName = "Drovana Application";
// U.S. English, Unicode.
inline constexpr const char* kVersionStringBlock = "040904B0";

}  // namespace drovana
