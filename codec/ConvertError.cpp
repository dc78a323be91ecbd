#include "ConvertError.h"

namespace drovana {

const char* DescribeConvertError(ConvertError error) {
    switch (error) {
        case ConvertError::kNone:
            return "converted";
        case ConvertError::kCannotOpenSource:
            return "cannot open source";
        case ConvertError::kSourceNotRegularFile:
            return "source is not a regular file";
        case ConvertError::kReadError:
            return "read error";
        case ConvertError::kTooShortForHeaders:
            return "not an SHP picture: file too short for its headers";
        case ConvertError::kNegativeHeaderOffset:
            return "not an SHP picture: negative image header offset";
        case ConvertError::kHeaderOutsideFile:
            return "not an SHP picture: image header outside the file";
        case ConvertError::kTooManyRows:
            return "not an SHP picture: too many rows";
        case ConvertError::kShapefile:
            return "a shapefile, not an SHP map";
        case ConvertError::kS16Picture:
            return "an S16 picture, not an SHP map";
        case ConvertError::kTargetNotRegularFile:
            return "target exists and is not a regular file";
        case ConvertError::kTargetIsSource:
            return "target is the source";
        case ConvertError::kForeignLink:
            return "link not followed: it and the file it points to have different owners";
        case ConvertError::kCannotCreateTarget:
            return "cannot create target";
        case ConvertError::kWriteError:
            return "write error";
        case ConvertError::kOutputTooLarge:
            return "picture too large for an S16 file";
        case ConvertError::kCannotReplaceTarget:
            return "cannot replace target";
        case ConvertError::kCannotSyncFolder:
            return "target written, but its folder could not be synced";
        case ConvertError::kCancelled:
            return "interrupted";
    }
    return "unknown error";
}

std::string DescribeConvertResult(const ConvertResult& result) {
    std::string text = DescribeConvertError(result.error);
    if (result.system) {
        text += ": ";
        text += result.system.message();
    }
    return text;
}

}  // namespace drovana
