#pragma once

#include <string>
#include <vector>

namespace drovana::test {

// The null-terminated array of pointers that exec and posix_spawn take; they
// only read it, hence the cast. `strings` must outlive it.
inline std::vector<char*> ExecArguments(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& text : strings) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace drovana::test
