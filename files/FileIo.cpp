#include "FileIo.h"

#include <random>
#include <string>

namespace drovana {

std::filesystem::path NewTemporaryName() {
    thread_local std::mt19937 random{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdef";
    std::string name = ".s16-";
    for (int i = 0; i < 8; ++i) {
        name += kDigits[random() & 15];
    }
    return name;
}

bool IsTemporaryName(const std::string& name) {
    const std::string prefix = ".s16-";
    return name.size() == prefix.size() + 8 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos;
}

bool AtomicFileSink::NoteWriteError() {
    if (!writeError_) {
        writeError_ = LastSystemError();
    }
    return false;
}

}  // namespace drovana
