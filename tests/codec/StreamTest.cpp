#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "ConvertTestHelpers.h"
#include "MapPalette.h"
#include "ShpBuilder.h"
#include "ShpToS16.h"
#include "TestFiles.h"

namespace drovana::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The format's rules written out plainly, one byte at a time, for headers
// that are known to be valid.
Bytes ReferenceS16(const Bytes& shp, S16Rows layout) {
    const auto h = static_cast<std::size_t>(Le32(shp, 8));
    const std::int64_t lastRow = Le16(shp, h), lastColumn = Le16(shp, h + 2);
    const std::int64_t xStart = Le32(shp, h + 8), yStart = Le32(shp, h + 12);
    const std::int64_t yEnd = Le32(shp, h + 20);
    const bool whole = layout == S16Rows::kWhole;
    const std::int64_t columns = lastColumn + 1, rows = lastRow + 1;
    const std::int64_t edge = whole ? columns : INT64_MAX;

    Bytes records;
    const auto put = [&records](std::int64_t count, unsigned index) {
        const std::uint16_t colour = PackColour(static_cast<int>(index));
        records.insert(records.end(), {static_cast<std::uint8_t>(count), 0,
                                       static_cast<std::uint8_t>(colour & 0xFF),
                                       static_cast<std::uint8_t>(colour >> 8)});
    };
    const auto clear = [&put](std::int64_t pixels) {
        for (; pixels > 0; pixels -= 255) {
            put(std::min<std::int64_t>(pixels, 255), 5);
        }
    };
    std::size_t at = h + 24;
    std::int64_t row = 0;
    for (; yStart + row <= yEnd && (!whole || row < rows); ++row) {
        const std::int64_t x0 = std::max<std::int64_t>(xStart, 0);
        std::int64_t x = x0;
        if (whole) {
            clear(std::min(x0, columns));
        }
        while (at < shp.size()) {
            const unsigned code = shp[at++];
            if (code == 0) {
                break;
            }
            if (code % 2 == 1 && code > 1) {
                for (unsigned i = 0; i < code / 2 && at < shp.size(); ++i, ++x) {
                    const unsigned index = shp[at++];
                    if (x < edge) {
                        put(1, index);
                    }
                }
            } else if (at < shp.size()) {
                const unsigned value = shp[at++];
                const unsigned count = code == 1 ? value : code / 2;
                if (x < edge) {
                    put(std::min<std::int64_t>(count, edge - x), code == 1 ? 5 : value);
                }
                x += count;
            }
        }
        clear((whole ? columns : lastColumn) - x);
    }
    for (; whole && row < rows && columns > 0; ++row) {
        clear(columns);
    }

    Bytes out(shp.begin() + 4, shp.begin() + 8);
    const auto columnsField = static_cast<std::int32_t>(columns);
    const auto rowsField = static_cast<std::int32_t>(rows);
    const auto dataBytes = static_cast<std::int32_t>(records.size());
    for (const std::int32_t field :
         {columnsField, rowsField, 0, 0, columnsField, rowsField, 0, dataBytes, 1, 0}) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(field) >> (8 * i)));
        }
    }
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

TEST(ConvertShpStream, MatchesReferenceOnMaps) {
    for (const MapStyle style : {MapStyle::kLongRuns, MapStyle::kLiterals, MapStyle::kMixed}) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(style) << " seed " << seed);
            const Bytes shp = MakeMap(40 + static_cast<int>(seed) * 70, 30, style, seed);
            EXPECT_EQ(S16Of(shp), ReferenceS16(shp, S16Rows::kWhole));
            // Rows that reach the edge and no more: both layouts are one.
            EXPECT_EQ(S16Of(shp, S16Rows::kLegacy), S16Of(shp));
        }
    }
    // Output and input both far beyond one internal buffer.
    const Bytes big = MakeMap(1024, 768, MapStyle::kLiterals, 7);
    EXPECT_EQ(S16Of(big), ReferenceS16(big, S16Rows::kWhole));
}

TEST(ConvertShpStream, MatchesReferenceOnRandomCodes) {
    std::mt19937 random(20240611);
    const auto in = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 400; ++round) {
        // Small codes often, so that rows end and skips and fills stay short.
        const bool smallCodes = round % 2 == 0;
        Bytes codes(static_cast<std::size_t>(in(0, 3000)));
        for (auto& b : codes) {
            b = static_cast<std::uint8_t>(smallCodes ? in(0, 12) : in(0, 255));
        }
        const std::int32_t yStart = in(-5, 5);
        const ShpImageFields fields{
            static_cast<std::int16_t>(round % 9 == 0 ? in(-32768, 32767) : in(-3, 60)),
            static_cast<std::int16_t>(in(-3, round % 5 == 0 ? 2000 : 80)),
            round % 7 == 0 ? in(-100000, 100000) : in(-5, 60), yStart, yStart + in(-2, 40)};
        const Bytes shp = ShpBuilder()
                              .CopiedBytes(static_cast<std::uint32_t>(random()))
                              .Padding(static_cast<std::size_t>(in(0, 3)))
                              .Image(fields)
                              .Raw(codes)
                              .Build();
        for (const S16Rows layout : {S16Rows::kWhole, S16Rows::kLegacy}) {
            ASSERT_EQ(S16Of(shp, layout), ReferenceS16(shp, layout))
                << "round " << round << (layout == S16Rows::kWhole ? " whole" : " legacy");
        }
    }
}

// Fails only the write call numbered `failAt`, so that a failure the decoder
// ignores is not hidden by the header fix-up failing after it.
class OneFailureSink final : public ByteSink {
public:
    explicit OneFailureSink(int failAt) : failAt_(failAt) {}
    bool Write(const std::uint8_t* data, std::size_t count) override {
        return calls_++ != failAt_ && bytes_.Write(data, count);
    }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override {
        return calls_++ != failAt_ && bytes_.WriteAt(offset, data, count);
    }
    int Calls() const { return calls_; }

private:
    int failAt_;
    int calls_ = 0;
    MemorySink bytes_;
};

// Fails each write call in turn until a run makes fewer calls than the index.
template <typename MakeSink>
void ExpectEveryFailedCallFails(const Bytes& shp, MakeSink makeSink) {
    for (int failAt = 0;; ++failAt) {
        auto sink = makeSink(failAt);
        const FormatResult result = ConvertShpBytes(shp.data(), shp.size(), *sink);
        if (sink->Calls() <= failAt) {
            EXPECT_TRUE(result.Ok()) << DescribeFormatError(result.error);
            EXPECT_GE(failAt, 1);
            return;
        }
        ASSERT_EQ(result.error, FormatError::kWriteError) << "failAt " << failAt;
    }
}

TEST(ConvertShpStream, EveryFailedWriteFailsTheConversion) {
    const Bytes small = MakeMap(20, 6, MapStyle::kMixed, 3);
    // Large enough that the records are written in several calls and the
    // header is fixed up afterwards.
    const Bytes large = MakeMap(800, 700, MapStyle::kLiterals, 5);
    for (const Bytes* shp : {&small, &large}) {
        SCOPED_TRACE(shp->size());
        ExpectEveryFailedCallFails(*shp, [](int n) { return std::make_unique<FailingSink>(n); });
        ExpectEveryFailedCallFails(
            *shp, [](int n) { return std::make_unique<FailingSink>(n, /*shortWrite=*/true); });
        ExpectEveryFailedCallFails(*shp, [](int n) { return std::make_unique<OneFailureSink>(n); });
    }
}

// Serves bytes up to `failFrom`, then fails as a disk read error does.
class FailingReadSource final : public ByteSource {
public:
    FailingReadSource(const Bytes& bytes, std::size_t failFrom)
        : bytes_(bytes.data(), bytes.size()), failFrom_(failFrom) {}

    std::uint64_t Size() const override { return bytes_.Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        if (offset + count > failFrom_) {
            failed_ = true;
            count = offset < failFrom_ ? static_cast<std::size_t>(failFrom_ - offset) : 0;
        }
        return bytes_.ReadAt(offset, dest, count);
    }
    bool Failed() const override { return failed_; }

private:
    MemorySource bytes_;
    std::uint64_t failFrom_;
    bool failed_ = false;
};

TEST(ConvertShpStream, ReadErrorIsNotMistakenForEndOfSource) {
    // Codes long enough to need a second refill of the input buffer.
    const Bytes shp = MakeMap(600, 600, MapStyle::kLiterals, 9);
    for (const std::size_t failFrom : {0, 20, 36, 1000, 300000}) {
        SCOPED_TRACE(failFrom);
        FailingReadSource source(shp, failFrom);
        MemorySink sink;
        EXPECT_EQ(ConvertShpStream(source, sink).error, FormatError::kReadError);
    }
}

// Counts what is written and keeps the header, without storing the records.
class CountingSink final : public ByteSink {
public:
    bool Write(const std::uint8_t* data, std::size_t count) override {
        if (written_ == 0) {
            header_.assign(data, data + std::min<std::size_t>(count, 44));
        }
        written_ += count;
        return true;
    }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t count) override {
        std::copy(data, data + count, header_.begin() + static_cast<std::ptrdiff_t>(offset));
        return true;
    }

    std::uint64_t written_ = 0;
    Bytes header_;
};

TEST(ConvertShpStream, RecordAreaStopsAtInt32Max) {
    // Legacy rows follow the coded rows, so a small picture reaches the limit.
    // Rows without codes are pure fill: 129 records each at lastColumn 32767.
    // 4161790 rows plus one extra record from a 1-pixel run in the first row
    // make 536870911 records, the most whose byte size fits in int32.
    constexpr std::int32_t kRows = 4161790;
    const auto picture = [](std::int32_t rows) {
        return ShpBuilder().Image({0, 32767, 0, 0, rows - 1}).Run(1, 5).EndRow().Build();
    };
    const DecodeLimits noRowLimit{INT32_MAX};

    const Bytes fits = picture(kRows);
    CountingSink largest;
    ASSERT_TRUE(
        ConvertShpBytes(fits.data(), fits.size(), largest, noRowLimit, S16Rows::kLegacy).Ok());
    EXPECT_EQ(largest.written_, 44u + 2147483644u);
    EXPECT_EQ(HeaderField(largest.header_, 7), 2147483644);

    const Bytes tooMany = picture(kRows + 1);
    CountingSink sink;
    EXPECT_EQ(
        ConvertShpBytes(tooMany.data(), tooMany.size(), sink, noRowLimit, S16Rows::kLegacy).error,
        FormatError::kOutputTooLarge);
    EXPECT_LE(sink.written_, 44u + 2147483644u);
}

}  // namespace
}  // namespace drovana::test
