#include "SampleMaps.h"

#include "ShpEncoder.h"
#include "TestFiles.h"

namespace drovana::samples {

namespace fs = std::filesystem;

const std::vector<SampleMap>& GoodSamples() {
    static const std::vector<SampleMap> kMaps = {
        {"MAP01.SHP", 64, 48, 0, MapKind::kIsland},
        {"map02.shp", 96, 64, 0, MapKind::kCoast},
        {"Map03.Shp", 120, 90, 0, MapKind::kCountry},
        {"MAP04.shp", 160, 120, 0, MapKind::kRoundMap},
        {"map05.SHP", 200, 150, 0, MapKind::kGrid},
        {"MAP06.SHP", 256, 256, 0, MapKind::kIslands},
        {"Map07.shp", 320, 240, 64, MapKind::kCoast},
        {"MAP08.SHP", 400, 300, 0, MapKind::kCountry},
        {"map09.shp", 512, 384, 0, MapKind::kIsland},
        {"MAP10.Shp", 640, 480, 0, MapKind::kGrid},
        {"MAP11.SHP", 800, 600, 0, MapKind::kRoundMap},
        {"map12.shp", 1024, 768, 0, MapKind::kAtlas},
    };
    return kMaps;
}

IndexPicture SamplePicture(const SampleMap& map) {
    // Each map its own seed, so that no two look alike.
    const auto seed = static_cast<std::uint32_t>(static_cast<unsigned>(map.width) * 7919u +
                                                 static_cast<unsigned>(map.height));
    return DrawMap(map.kind, map.width - map.xStart, map.height, seed);
}

std::vector<std::uint8_t> SampleBytes(const SampleMap& map) {
    return EncodeShp(SamplePicture(map), map.xStart);
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
