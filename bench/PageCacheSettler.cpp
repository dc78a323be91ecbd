#include "PageCacheSettler.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace drovana::bench {
namespace {

constexpr std::size_t kBallastMiB = 512;

void ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

}  // namespace

PageCacheSettler::PageCacheSettler(const std::filesystem::path& folder)
    : ballast_(folder / "ballast") {
    std::ofstream out(ballast_, std::ios::binary);
    const std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < kBallastMiB; ++i) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    if (!out) {
        throw std::runtime_error("cannot write " + ballast_.string());
    }
}

void PageCacheSettler::Settle(const std::filesystem::path& input) const {
    // Straight to the kernel: a benchmark run with its syncs removed by
    // libeatmydata must still have earlier runs' pages written back here.
    ::syscall(SYS_sync);
    ReadWhole(ballast_);
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "1\n";
    drop.close();
    if (!drop) {
        throw std::runtime_error("cannot empty the page cache (needs root)");
    }
    ReadWhole(input);
}

}  // namespace drovana::bench
