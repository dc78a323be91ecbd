#pragma once

#include <string>
#include <vector>

// How drovana and shp2s16 word a mistyped option, so that both say it alike.
namespace drovana {

// The known long option closest to `given` ("--updat" finds
// "--update-only"), or "" when none is close enough to be meant.
std::string NearestOption(const std::string& given, const std::vector<std::string>& known);

// "unknown option '--updat'; did you mean --update-only?", the question only
// when a known option is near.
std::string UnknownOptionMessage(const std::string& given, const std::vector<std::string>& known);

// "-j needs a number"
std::string NeedsValueMessage(const std::string& option, const std::string& what);

// "--quiet takes no value", for a flag given one with "="
std::string TakesNoValueMessage(const std::string& option);

}  // namespace drovana
