#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "IndexPicture.h"
#include "MapPictures.h"

// The maps a new user tries the program on, all made by our own encoder.
namespace drovana::samples {

struct SampleMap {
    const char* name;
    int width;
    int height;
    int xStart;  // the map is drawn from this column on
    MapKind kind;
};

// Every sample that converts, in the mix of sizes, kinds and name cases a
// real folder has.
const std::vector<SampleMap>& GoodSamples();

// The one sample that fails, so that the user sees a failure and its reason.
inline constexpr char kBrokenSampleName[] = "MAP13.SHP";

// The picture a good sample shows from its xStart on, width - xStart wide.
IndexPicture SamplePicture(const SampleMap& map);

// The bytes of a good sample; the same sample always gives the same bytes.
std::vector<std::uint8_t> SampleBytes(const SampleMap& map);

// Writes every sample into `folder`/maps and makes `folder`/peg, an empty
// PeG folder when new. Throws on a file that cannot be written.
void WriteSamples(const std::filesystem::path& folder);

}  // namespace drovana::samples
