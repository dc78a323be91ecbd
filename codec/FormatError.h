#pragma once

// Why bytes could not be read as an SHP picture or written as an S16 one.
namespace drovana {

enum class FormatError {
    kNone,
    kReadError,
    kTooShortForHeaders,
    kNegativeHeaderOffset,
    kHeaderOutsideFile,
    kTooManyRows,
    kShapefile,
    kS16Picture,
    kWriteError,
    kOutputTooLarge,
    kCancelled,
};

struct FormatResult {
    FormatError error = FormatError::kNone;

    bool Ok() const { return error == FormatError::kNone; }
};

// A short English text for the reason, such as
// "not an SHP picture: file too short for its headers".
const char* DescribeFormatError(FormatError error);

}  // namespace drovana
