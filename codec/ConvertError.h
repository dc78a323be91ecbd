#pragma once

#include <string>
#include <system_error>

namespace drovana {

// Why a conversion failed. Every failure but kCannotSyncFolder, which comes
// after the new target took its name, leaves an existing target as it was.
enum class ConvertError {
    kNone,
    kCannotOpenSource,
    kSourceNotRegularFile,
    kReadError,
    kTooShortForHeaders,
    kNegativeHeaderOffset,
    kHeaderOutsideFile,
    kTooManyRows,
    kShapefile,
    kS16Picture,
    kTargetNotRegularFile,
    kTargetIsSource,
    kForeignLink,
    kCannotCreateTarget,
    kWriteError,
    kOutputTooLarge,
    kCannotReplaceTarget,
    kCannotSyncFolder,
    kCancelled,
};

// The outcome of one conversion: the reason and, where the operating system
// gave one, its error.
struct ConvertResult {
    ConvertError error = ConvertError::kNone;
    std::error_code system;

    bool Ok() const { return error == ConvertError::kNone; }
};

// A short English text for the reason, such as
// "not an SHP picture: file too short for its headers".
const char* DescribeConvertError(ConvertError error);

// The reason followed by the operating system's message, when there is one.
std::string DescribeConvertResult(const ConvertResult& result);

}  // namespace drovana
