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

bool AtomicFileSink::NoteWriteError() {
    if (!writeError_) {
        writeError_ = LastSystemError();
    }
    return false;
}

}  // namespace drovana
