#include "SampleMaps.h"

#include "TestFiles.h"

namespace drovana::samples {

namespace fs = std::filesystem;
using test::MapStyle;

const std::vector<SampleMap>& GoodSamples() {
    static const std::vector<SampleMap> kMaps = {
        {"MAP01.SHP", 64, 48, MapStyle::kLongRuns},   {"map02.shp", 96, 64, MapStyle::kLiterals},
        {"Map03.Shp", 120, 90, MapStyle::kMixed},     {"MAP04.shp", 160, 120, MapStyle::kLongRuns},
        {"map05.SHP", 200, 150, MapStyle::kLiterals}, {"MAP06.SHP", 256, 256, MapStyle::kMixed},
        {"Map07.shp", 320, 240, MapStyle::kLongRuns}, {"MAP08.SHP", 400, 300, MapStyle::kLiterals},
        {"map09.shp", 512, 384, MapStyle::kMixed},    {"MAP10.Shp", 640, 480, MapStyle::kMixed},
        {"MAP11.SHP", 800, 600, MapStyle::kLongRuns}, {"map12.shp", 1024, 768, MapStyle::kMixed},
    };
    return kMaps;
}

std::vector<std::uint8_t> SampleBytes(const SampleMap& map) {
    // Each map its own seed, so that no two look alike.
    const auto seed = static_cast<std::uint32_t>(static_cast<unsigned>(map.width) * 7919u +
                                                 static_cast<unsigned>(map.height));
    return test::MakeMap(map.width, map.height, map.style, seed);
}

void WriteSamples(const fs::path& folder) {
    const fs::path maps = folder / "maps";
    fs::create_directories(maps);
    fs::create_directories(folder / "peg");
    for (const SampleMap& map : GoodSamples()) {
        test::WriteBytes(maps / map.name, SampleBytes(map));
    }
    // Cut inside the field that gives the image header's offset.
    std::vector<std::uint8_t> broken = SampleBytes(GoodSamples().front());
    broken.resize(10);
    test::WriteBytes(maps / kBrokenSampleName, broken);
}

}  // namespace drovana::samples
