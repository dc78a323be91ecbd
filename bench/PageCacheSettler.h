#pragma once

#include <filesystem>

namespace drovana::bench {

// Puts the machine in the same memory state before each timed run. On
// virtual machines that hand free memory back to the host, the first touch
// of such a page costs a fault in the host, several times what writing the
// page costs, and which run draws those pages is luck. Settle() reads a
// ballast file in (touching pages outside the timing), empties the page
// cache, and reads the run's input back in: every run then finds far more
// backed free pages than it writes. Emptying the cache needs root.
class PageCacheSettler {
public:
    // Writes the ballast file in `folder`.
    explicit PageCacheSettler(const std::filesystem::path& folder);

    // Writes back dirty pages, empties the page cache and reads `input` in.
    void Settle(const std::filesystem::path& input) const;

private:
    std::filesystem::path ballast_;
};

}  // namespace drovana::bench
