#pragma once

#include <filesystem>
#include <string>

namespace drovana {

// A path kept as its text alone. std::filesystem::path also keeps a list of
// its parts on the heap, which for a batch of 200,000 maps was most of the
// batch's memory; the parts are made again only when a caller asks for them.
class StoredPath {
public:
    StoredPath() = default;
    StoredPath(const std::filesystem::path& path) : text_(path.native()) {}

    operator std::filesystem::path() const { return text_; }
    std::filesystem::path filename() const { return std::filesystem::path(text_).filename(); }
    std::wstring wstring() const { return std::filesystem::path(text_).wstring(); }

private:
    std::filesystem::path::string_type text_;
};

}  // namespace drovana
