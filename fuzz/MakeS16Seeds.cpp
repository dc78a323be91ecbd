// Writes the S16 fuzz seed corpus into a folder: pictures our own encoder
// makes of small maps, and ones whose record stream is too short, too long or
// runs across row ends.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace {

using drovana::test::MakeMap;
using drovana::test::MapStyle;
using drovana::test::S16Of;
using drovana::test::ShpBuilder;

std::vector<std::vector<std::uint8_t>> Seeds() {
    std::vector<std::vector<std::uint8_t>> seeds = {
        S16Of(ShpBuilder().Image({0, 9, 0, 0, 0}).Run(9, 40).EndRow().Build()),
        S16Of(ShpBuilder().Image({2, 4, 0, 0, 0}).Run(60, 7).Literal({1, 2, 3}).Build()),
        S16Of(ShpBuilder().Image({3, 600, 2, 0, 3}).Skip(30).Run(100, 200).EndRow().Build()),
        S16Of(ShpBuilder().Image({1, 0, 0, 0, 1}).Build()),
    };
    for (MapStyle style : {MapStyle::kLongRuns, MapStyle::kLiterals, MapStyle::kMixed}) {
        seeds.push_back(S16Of(MakeMap(40, 5, style, 3)));
    }
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-s16-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const auto seeds = Seeds();
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        drovana::test::WriteBytes(folder / ("seed-" + std::to_string(i) + ".s16"), seeds[i]);
    }
    return 0;
}
