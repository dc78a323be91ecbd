#include "ConvertError.h"

namespace drovana {

ConvertResult FromFormat(FormatResult result) {
    if (result.Ok()) {
        return {};
    }
    return {ConvertError::kFormat, {}, result.error};
}

const char* DescribeConvertError(ConvertError error) {
    switch (error) {
        case ConvertError::kNone:
            return "converted";
        case ConvertError::kFormat:
            return "not converted";
        case ConvertError::kCannotOpenSource:
            return "cannot open source";
        case ConvertError::kSourceNotRegularFile:
            return "source is not a regular file";
        case ConvertError::kTargetNotRegularFile:
            return "target exists and is not a regular file";
        case ConvertError::kTargetIsSource:
            return "target is the source";
        case ConvertError::kForeignLink:
            return "link not followed: it and the file it points to have different owners";
        case ConvertError::kCannotCreateTarget:
            return "cannot create target";
        case ConvertError::kCannotReplaceTarget:
            return "cannot replace target";
        case ConvertError::kCannotSyncFolder:
            return "target written, but its folder could not be synced";
    }
    return "unknown error";
}

std::string DescribeConvertResult(const ConvertResult& result) {
    std::string text = result.error == ConvertError::kFormat ? DescribeFormatError(result.format)
                                                             : DescribeConvertError(result.error);
    if (result.system) {
        text += ": ";
        text += result.system.message();
    }
    return text;
}

}  // namespace drovana
