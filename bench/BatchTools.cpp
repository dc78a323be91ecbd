// The helpers of the batch and process benchmarks (batch_bench.py,
// process_bench.py): making the maps, the byte-at-a-time baseline over a whole
// folder or one file, and the floor of just writing files of the same sizes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BaselineConverter.h"
#include "BatchRules.h"
#include "Folder.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

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

// The same files and names as the real batch, converted by the baseline.
int Baseline(const std::string& shpFolder, const std::string& pegFolder) {
    int failed = 0;
    for (const auto& name : drovana::ListCandidates(shpFolder, pegFolder, false).names) {
        const fs::path source = drovana::SourcePathFor(shpFolder, name);
        const fs::path target = drovana::TargetPathFor(pegFolder, name);
        failed += drovana::bench::BaselineConvertShpFile(source.c_str(), target.c_str()) ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}

// Creates a file of the same name and size as each file of `reference`,
// durable as the converter makes its targets: each file's data synced before
// it is closed, the folder synced at the end.
int Floor(const fs::path& reference, const fs::path& out) {
    static std::vector<char> buffer(256 * 1024, 0x5A);
    for (const auto& entry : fs::directory_iterator(reference)) {
        std::FILE* file = std::fopen((out / entry.path().filename()).c_str(), "wb");
        if (file == nullptr) {
            return 1;
        }
        std::setvbuf(file, nullptr, _IONBF, 0);
        for (auto left = entry.file_size(); left > 0;) {
            const std::size_t n =
                left < buffer.size() ? static_cast<std::size_t>(left) : buffer.size();
            std::fwrite(buffer.data(), 1, n, file);
            left -= n;
        }
        ::fdatasync(fileno(file));
        std::fclose(file);
    }
    return drovana::SyncFolder(out) ? 1 : 0;
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
    if (argc == 4 && std::strcmp(argv[1], "baseline") == 0) {
        return Baseline(argv[2], argv[3]);
    }
    if (argc == 4 && std::strcmp(argv[1], "baseline-one") == 0) {
        return drovana::bench::BaselineConvertShpFile(argv[2], argv[3]) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "floor") == 0) {
        return Floor(argv[2], argv[3]);
    }
    std::fprintf(stderr,
                 "usage: batch-tools make-maps FOLDER COUNT WIDTH HEIGHT [long|literals|mixed]\n"
                 "       batch-tools baseline SHP_FOLDER/ PEG_FOLDER/\n"
                 "       batch-tools baseline-one SOURCE TARGET\n"
                 "       batch-tools floor REFERENCE_FOLDER OUT_FOLDER\n");
    return 2;
}
