#pragma once

#include <system_error>

// What a replaced file keeps besides its owner and mode: its access control
// list and the attributes its users set (user.*). Other attributes belong to
// the system (security labels, capabilities) and are not carried over.
namespace drovana {

struct AttributeCopy {
    std::error_code error;    // the access control list could not be set
    bool aclUnknown = false;  // `from`'s attributes could not be read
};

// Copies the attributes of the file open as `from` (which may be opened
// only as a path) onto the file open as `to`. An attribute of the user that
// cannot be read or set is left out: it gives no rights.
AttributeCopy CopyExtendedAttributes(int from, bool fromIsPath, int to);

}  // namespace drovana
