// The helpers of the batch and process benchmarks (batch_bench.py,
// process_bench.py): making the maps, the byte-at-a-time baseline over a whole
// folder or one file, as it is or given the converter's syncs, and the floors
// of just writing files of the same sizes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "BaselineConverter.h"
#include "BatchRules.h"
#include "Folder.h"
#include "ShpBuilder.h"
#include "TestFiles.h"
#include "WriteFloors.h"

namespace {

namespace fs = std::filesystem;

using drovana::test::MapStyle;

std::optional<MapStyle> ParseStyle(const char* name) {
    if (std::strcmp(name, "long") == 0) {
        return MapStyle::kLongRuns;
    }
    if (std::strcmp(name, "literals") == 0) {
        return MapStyle::kLiterals;
    }
    if (std::strcmp(name, "mixed") == 0) {
        return MapStyle::kMixed;
    }
    return std::nullopt;
}

int MakeMaps(const fs::path& folder, int count, int width, int height, MapStyle style) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "MAP%04d.SHP", i);
        drovana::test::WriteBytes(
            folder / name,
            drovana::test::MakeMap(width, height, style, static_cast<std::uint32_t>(i + 1)));
    }
    return 0;
}

// The same files and names as the real batch, converted by the baseline;
// with `sync`, each file's data and at the end the folder are synced, as
// the converter does.
int Baseline(const std::string& shpFolder, const std::string& pegFolder, bool sync) {
    int failed = 0;
    for (const auto& name : drovana::ListCandidates(shpFolder, pegFolder, false).names) {
        const fs::path source = drovana::SourcePathFor(shpFolder, name);
        const fs::path target = drovana::TargetPathFor(pegFolder, name);
        failed +=
            drovana::bench::BaselineConvertShpFile(source.c_str(), target.c_str(), sync) ? 0 : 1;
    }
    if (sync && drovana::SyncFolder(drovana::FolderOfText(pegFolder))) {
        ++failed;
    }
    return failed == 0 ? 0 : 1;
}

// One map; with `sync`, its data and its folder synced as shp2s16 does.
int BaselineOne(const fs::path& source, const fs::path& target, bool sync) {
    const bool ok = drovana::bench::BaselineConvertShpFile(source.c_str(), target.c_str(), sync);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    return ok && !(sync && drovana::SyncFolder(folder)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "make-maps") == 0) {
        const std::optional<MapStyle> style = ParseStyle(argc == 7 ? argv[6] : "mixed");
        if (style) {
            return MakeMaps(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                            *style);
        }
    }
    const bool sync = argc == 5 && std::strcmp(argv[4], "--sync") == 0;
    if ((argc == 4 || sync) && std::strcmp(argv[1], "baseline") == 0) {
        return Baseline(argv[2], argv[3], sync);
    }
    if ((argc == 4 || sync) && std::strcmp(argv[1], "baseline-one") == 0) {
        return BaselineOne(argv[2], argv[3], sync);
    }
    if (argc == 5 && std::strcmp(argv[1], "floor") == 0) {
        const int status = drovana::bench::WriteFloor(argv[2], argv[3], argv[4]);
        if (status != 2) {
            return status;
        }
    }
    std::fprintf(
        stderr,
        "usage: batch-tools make-maps FOLDER COUNT WIDTH HEIGHT [long|literals|mixed]\n"
        "       batch-tools baseline SHP_FOLDER/ PEG_FOLDER/ [--sync]\n"
        "       batch-tools baseline-one SOURCE TARGET [--sync]\n"
        "       batch-tools floor none|each|deferred|syncfs REFERENCE_FOLDER OUT_FOLDER\n");
    return 2;
}
