#pragma once

#include <string>
#include <system_error>

#include "FormatError.h"

namespace drovana {

// Why a conversion of files failed: the files' own reasons, or kFormat
// with the format's reason beside it. Every failure but kCannotSyncFolder,
// which comes after the new target took its name, leaves an existing target
// as it was.
enum class ConvertError {
    kNone,
    kFormat,
    kCannotOpenSource,
    kSourceNotRegularFile,
    kTargetNotRegularFile,
    kTargetIsSource,
    kForeignLink,
    kCannotCreateTarget,
    kCannotReplaceTarget,
    kCannotSyncFolder,
};

// The outcome of one conversion: the reason, where the operating system
// gave one its error, and the format's reason for kFormat.
struct ConvertResult {
    ConvertError error = ConvertError::kNone;
    std::error_code system;
    FormatError format = FormatError::kNone;

    bool Ok() const { return error == ConvertError::kNone; }
    bool Is(FormatError reason) const { return error == ConvertError::kFormat && format == reason; }
};

// A failure the format gave; none for kNone.
ConvertResult FromFormat(FormatResult result);

// A short English text for the reason, such as "cannot open source".
const char* DescribeConvertError(ConvertError error);

// The reason, the format's for kFormat, followed by the operating system's
// message when there is one.
std::string DescribeConvertResult(const ConvertResult& result);

}  // namespace drovana
