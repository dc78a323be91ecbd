#pragma once

#include <string>

// The core speaks UTF-8, Windows UTF-16: the two conversions between them.
namespace drovana {

std::wstring WideOf(const std::string& utf8);
std::string Utf8Of(const std::wstring& wide);

}  // namespace drovana
