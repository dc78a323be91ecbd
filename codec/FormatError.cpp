#include "FormatError.h"

namespace drovana {

const char* DescribeFormatError(FormatError error) {
    switch (error) {
        case FormatError::kNone:
            return "converted";
        case FormatError::kReadError:
            return "read error";
        case FormatError::kTooShortForHeaders:
            return "not an SHP picture: file too short for its headers";
        case FormatError::kNegativeHeaderOffset:
            return "not an SHP picture: negative image header offset";
        case FormatError::kHeaderOutsideFile:
            return "not an SHP picture: image header outside the file";
        case FormatError::kTooManyRows:
            return "not an SHP picture: too many rows";
        case FormatError::kShapefile:
            return "a shapefile, not an SHP map";
        case FormatError::kS16Picture:
            return "an S16 picture, not an SHP map";
        case FormatError::kWriteError:
            return "write error";
        case FormatError::kOutputTooLarge:
            return "picture too large for an S16 file";
        case FormatError::kCancelled:
            return "interrupted";
    }
    return "unknown error";
}

}  // namespace drovana
