// Writes the fuzz seed corpus into a folder: small pictures made by our own
// encoder that reach every code class, the header checks and the fill rules.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ShpBuilder.h"
#include "TestFiles.h"

namespace {

using drovana::test::MakeMap;
using drovana::test::MapStyle;
using drovana::test::ShpBuilder;

std::vector<std::vector<std::uint8_t>> Seeds() {
    std::vector<std::vector<std::uint8_t>> seeds = {
        ShpBuilder()
            .Image({0, 9, 0, 0, 0})
            .Raw({0x06, 0x10, 0x05, 0x07, 0x1E, 0x01, 0x02, 0x00})
            .Build(),
        ShpBuilder().Image({3, 9, 4, -2, 1}).EndRow().Skip(0).EndRow().Build(),
        ShpBuilder().Image({0, 32767, 0, 0, 3}).Build(),
        ShpBuilder().Image({0, 600, -5, 0, 1}).Run(127, 255).Literal({1, 2, 3}).Build(),
        ShpBuilder().Image({1, 4, 0, 5, 2}).Build(),
        ShpBuilder().Padding(24).Image({0, 7, 0, 0, 0}).Literal({9, 9}).Skip(255).Build(),
        ShpBuilder().Image({0, 7, 0, 0, 2}).Raw({0x07, 0x01}).Build(),
        ShpBuilder().HeaderOffset(-1).Build(),
    };
    for (MapStyle style : {MapStyle::kLongRuns, MapStyle::kLiterals, MapStyle::kMixed}) {
        seeds.push_back(MakeMap(48, 6, style, 7));
    }
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const auto seeds = Seeds();
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        drovana::test::WriteBytes(folder / ("seed-" + std::to_string(i) + ".shp"), seeds[i]);
    }
    return 0;
}
