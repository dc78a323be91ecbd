#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ConvertShpToS16.h"
#include "HardeningSupport.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "ShpToS16.h"
#include "TestFiles.h"

// Inputs at the edges: every possible truncation of a good picture, and the
// largest output a tiny input may legally ask for.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;

const Bytes kOldTarget = {'o', 'l', 'd', ' ', 's', '1', '6'};

// Offset of the header's dataBytes field: behind the 4 copied bytes, the
// eighth 32-bit field.
constexpr std::size_t kDataBytesAt = 4 + 28;
constexpr std::size_t kLeadIn = 44;

TEST(Truncation, EveryCutEitherFailsWithoutTargetOrGivesAConsistentPicture) {
    const struct {
        const char* name;
        Bytes shp;
        std::size_t headersEnd;  // lead-in, padding and image header
    } pictures[] = {
        {"built by hand",
         ShpBuilder()
             .Padding(5)
             .Image({3, 39, 2, 0, 3})
             .Literal({1, 2, 3})
             .Run(5, 9)
             .Skip(4)
             .Literal({200, 201, 202, 203, 204, 205, 206})
             .EndRow()
             .Skip(255)
             .Run(254 / 2, 17)
             .EndRow()
             .Run(3, 0)
             .Literal({7})
             .EndRow()
             .Build(),
         12 + 5 + 24},
        {"generated", MakeMap(16, 8, MapStyle::kMixed, 7), 36},
    };
    TempDir dir;
    for (const auto& picture : pictures) {
        std::size_t failures = 0;
        for (std::size_t size = 0; size <= picture.shp.size(); ++size) {
            const Bytes cut(picture.shp.begin(), picture.shp.begin() + size);
            MemorySink memory;
            const FormatResult inMemory = ConvertShpBytes(cut.data(), cut.size(), memory);
            for (const bool oldTarget : {false, true}) {
                SCOPED_TRACE(testing::Message() << picture.name << " cut to " << size << " bytes"
                                                << (oldTarget ? ", old target" : ""));
                WriteBytes(dir / "in.shp", cut);
                if (oldTarget) {
                    WriteBytes(dir / "out.s16", kOldTarget);
                } else {
                    fs::remove(dir / "out.s16");
                }
                const FolderState before = StateOf(dir.Path());

                const int converted = ConvertShpToS16(dir / "in.shp", dir / "out.s16");

                ASSERT_TRUE(converted == 0 || converted == 1) << converted;
                if (converted == 0) {
                    ++failures;
                    EXPECT_FALSE(inMemory.Ok());
                    EXPECT_EQ(StateOf(dir.Path()), before);
                    continue;
                }
                const Bytes s16 = ReadBytes(dir / "out.s16");
                ASSERT_GE(s16.size(), kLeadIn);
                EXPECT_EQ(Le32(s16, kDataBytesAt), static_cast<std::int32_t>(s16.size() - kLeadIn));
                EXPECT_EQ(s16, memory.Bytes());
                EXPECT_EQ(TemporaryNames(dir.Path()), std::vector<std::string>{});
            }
        }
        // Once the headers are whole, any cut still makes a picture.
        EXPECT_EQ(failures, 2 * picture.headersEnd) << picture.name;
    }
}

// Peak resident memory of this process so far, in KiB.
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// The sanitizers keep memory of their own around each allocation.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

TEST(WorstCase, ThirtySixBytesAskingFor32768WideRowsConvertFastInFlatMemory) {
    // No codes at all: every row is a transparent run up to column 1 and a
    // fill of the 32767 columns after it, 130 records (1 + 128 of 255 pixels
    // and one of 127), the most a row without codes can take.
    const Bytes shp = ShpBuilder().Image({32767, 32767, 1, 0, 32767}).Build();
    ASSERT_EQ(shp.size(), 36u);
    constexpr std::uintmax_t kSize = 17'039'404;
    static_assert(kSize == kLeadIn + 32768u * 130u * 4u);
    TempDir dir;
    WriteBytes(dir / "in.shp", shp);

    // In a child, whose peak memory starts from its own baseline.
    EXPECT_CHILD_PASSES(RunInChild([&] {
        const long peakBefore = PeakResidentKiB();
        const auto start = std::chrono::steady_clock::now();
        const ConvertResult result = ConvertShpFile(dir / "in.shp", dir / "out.s16");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const long growth = PeakResidentKiB() - peakBefore;
        std::printf("worst case: %ju bytes in %.3f s, peak memory grew by %ld KiB\n",
                    static_cast<std::uintmax_t>(fs::file_size(dir / "out.s16")), took.count(),
                    growth);

        ASSERT_TRUE(result.Ok()) << DescribeConvertResult(result);
        EXPECT_EQ(fs::file_size(dir / "out.s16"), kSize);
        EXPECT_LT(took.count(), 2.0);
        EXPECT_LT(growth, (kSanitized ? 16 : 4) * 1024);

        Bytes s16(kSize);
        std::ifstream(dir / "out.s16", std::ios::binary)
            .read(reinterpret_cast<char*>(s16.data()), static_cast<std::streamsize>(s16.size()));
        EXPECT_EQ(Le32(s16, 4), 32768);  // columns
        EXPECT_EQ(Le32(s16, 8), 32768);  // rows
        EXPECT_EQ(Le32(s16, kDataBytesAt), static_cast<std::int32_t>(kSize - kLeadIn));
        const Bytes row = S16Of(ShpBuilder().Image({0, 32767, 1, 0, 0}).Build());
        const std::size_t rowBytes = row.size() - kLeadIn;
        ASSERT_EQ(rowBytes, 130u * 4u);
        std::size_t differing = 0;
        for (std::size_t at = kLeadIn; at < s16.size(); at += rowBytes) {
            differing += !std::equal(row.begin() + kLeadIn, row.end(), s16.begin() + at);
        }
        EXPECT_EQ(differing, 0u) << "rows that are not one full-width fill";
    }));
}

}  // namespace
}  // namespace drovana::test
