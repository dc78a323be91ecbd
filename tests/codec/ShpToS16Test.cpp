#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "ConvertTestHelpers.h"
#include "MapPalette.h"
#include "ShpBuilder.h"
#include "ShpCodes.h"
#include "ShpToS16.h"

namespace drovana::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One row of codes behind an image of `lastColumn` with the given start column.
Bytes OneRow(std::int16_t lastColumn, std::int32_t xStart, const Bytes& codes) {
    return ShpBuilder().Image({0, lastColumn, xStart, 0, 0}).Raw(codes).Build();
}

// `pixels` transparent pixels as the converter splits them into records.
std::vector<Record> Transparent(int pixels) {
    std::vector<Record> records(static_cast<std::size_t>(pixels / 255), Rec(255, 5));
    if (pixels % 255 != 0) {
        records.push_back(Rec(pixels % 255, 5));
    }
    return records;
}

std::vector<Record> Then(std::vector<Record> first, const std::vector<Record>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(MapPalette, PacksKnownEntries) {
    const struct {
        int index;
        std::uint32_t entry;  // c0 c1 c2
        std::uint16_t packed;
    } cases[] = {{0, 0x000000, 0x0000},  {1, 0xf0f0f0, 0xF79E},   {5, 0xb8b8b8, 0xBDD7},
                 {16, 0xf4f49c, 0x9FBE}, {252, 0x0c78fc, 0xFBC1}, {255, 0xb81000, 0x0097},
                 {88, 0xd0a864, 0x655A}, {96, 0xd0a864, 0x655A},  {150, 0xd0a864, 0x655A},
                 {32, 0x6c684c, 0x4B4D}, {63, 0x6c684c, 0x4B4D},  {261, 0xb8b8b8, 0xBDD7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const PaletteEntry& e = kMapPalette[static_cast<std::size_t>(c.index & 0xFF)];
        EXPECT_EQ((e.c0 << 16) | (e.c1 << 8) | e.c2, static_cast<int>(c.entry));
        EXPECT_EQ(PackColour(c.index), c.packed);
    }
}

// The fast path's branch-free tests must say what the classifier says.
TEST(ShpCodes, FastPathTestsAgreeWithTheClassifierForEveryCode) {
    for (unsigned code = 0; code < 256; ++code) {
        const ShpCode kind = ClassifyShpCode(code);
        EXPECT_EQ(IsLiteralCode(code), kind == ShpCode::kLiteral) << code;
        if (kind != ShpCode::kLiteral && kind != ShpCode::kRowEnd) {
            EXPECT_EQ(SkipMask(code) != 0, kind == ShpCode::kSkip) << code;
        }
    }
    EXPECT_EQ(ShpCodePixels(255), 127u);
}

TEST(ConvertShpToS16, RecordBytesAreCountZeroAndLittleEndianColour) {
    const Bytes s16 = S16Of(OneRow(7, 0, {0x01, 3, 0x0A, 0, 0x00}));
    const Bytes records(s16.begin() + 44, s16.end());
    EXPECT_EQ(records, (Bytes{0x03, 0x00, 0xD7, 0xBD, 0x05, 0x00, 0x00, 0x00}));
}

TEST(ConvertShpToS16, LeadInCopiesBytesAndHeaderSignExtendsSizes) {
    const struct {
        std::int16_t lastRow, lastColumn;
        std::uint32_t copied;
        std::int32_t columns, rows;
    } cases[] = {
        {9, 19, 0x04030201, 20, 10},
        {-1, -1, 0xFFFFFFFF, 0, 0},
        {-5, 0, 0x00000000, 1, -4},
        {32767, 32767, 0xDEADBEEF, 32768, 32768},
        {-32768, -32768, 0x00FF00FF, -32767, -32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastColumn);
        // yEnd before yStart: no coded rows, so legacy output is the lead-in alone.
        const Bytes shp =
            ShpBuilder().CopiedBytes(c.copied).Image({c.lastRow, c.lastColumn, 0, 1, 0}).Build();
        const Bytes s16 = S16Of(shp, S16Rows::kLegacy);
        ASSERT_EQ(s16.size(), 44u);
        EXPECT_EQ(Bytes(s16.begin(), s16.begin() + 4), Bytes(shp.begin() + 4, shp.begin() + 8));
        const std::int32_t expected[10] = {c.columns, c.rows, 0, 0, c.columns, c.rows, 0, 0, 1, 0};
        for (std::size_t i = 0; i < 10; ++i) {
            EXPECT_EQ(HeaderField(s16, i), expected[i]) << "field " << i;
        }
    }
}

TEST(ConvertShpToS16, DecodesMixedRowAndFillsToTheRowEnd) {
    const Bytes shp = OneRow(9, 0, {0x06, 0x10, 0x05, 0x07, 0x1E, 0x01, 0x02, 0x00});
    const std::vector<Record> codes = {Rec(3, 16), Rec(1, 7), Rec(1, 30), Rec(2, 5)};
    const Bytes whole = S16Of(shp);
    EXPECT_EQ(RecordsOf(whole), Then(codes, {Rec(3, 5)}));
    EXPECT_EQ(HeaderField(whole, 7), 20);
    EXPECT_EQ(HeaderField(whole, 0), 10);
    EXPECT_EQ(HeaderField(whole, 1), 1);
    EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)), Then(codes, {Rec(2, 5)}));
}

TEST(ConvertShpToS16, CodesBecomeRecords) {
    const struct {
        const char* name;
        std::int16_t lastColumn;
        Bytes codes;
        std::vector<Record> whole;
        std::vector<Record> legacy;
    } cases[] = {
        {"skip of zero writes zero-count record",
         0,
         {0x01, 0x00, 0x00},
         {Rec(0, 5), Rec(1, 5)},
         {Rec(0, 5)}},
        {"run then fill", 9, {0x08, 0x07, 0x00}, {Rec(4, 7), Rec(6, 5)}, {Rec(4, 7), Rec(5, 5)}},
        {"run of one", 1, {0x02, 0xFF, 0x00}, {Rec(1, 255), Rec(1, 5)}, {Rec(1, 255)}},
        {"longest run", 127, {0xFE, 0x10, 0x00}, {Rec(127, 16), Rec(1, 5)}, {Rec(127, 16)}},
        {"literals never merge",
         3,
         {0x07, 3, 3, 3, 0x00},
         {Rec(1, 3), Rec(1, 3), Rec(1, 3), Rec(1, 5)},
         {Rec(1, 3), Rec(1, 3), Rec(1, 3)}},
        {"skip of 255", 255, {0x01, 0xFF, 0x00}, {Rec(255, 5), Rec(1, 5)}, {Rec(255, 5)}},
        {"run past the edge is cut", 3, {0x0A, 0x01, 0x00}, {Rec(4, 1)}, {Rec(5, 1)}},
        {"literal past the edge is cut",
         2,
         {0x09, 1, 2, 3, 4, 0x00},
         {Rec(1, 1), Rec(1, 2), Rec(1, 3)},
         {Rec(1, 1), Rec(1, 2), Rec(1, 3), Rec(1, 4)}},
        {"skip of zero at the edge",
         1,
         {0x04, 0x07, 0x01, 0x00, 0x00},
         {Rec(2, 7)},
         {Rec(2, 7), Rec(0, 5)}},
        {"row ending at last column", 4, {0x08, 0x02}, {Rec(4, 2), Rec(1, 5)}, {Rec(4, 2)}},
        {"end of source ends the row",
         6,
         {0x04, 0x09},
         {Rec(2, 9), Rec(5, 5)},
         {Rec(2, 9), Rec(4, 5)}},
        {"negative last column", -3, {0x00}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes shp = OneRow(c.lastColumn, 0, c.codes);
        EXPECT_EQ(RecordsOf(S16Of(shp)), c.whole);
        EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)), c.legacy);
    }
}

TEST(ConvertShpToS16, CodesPastTheEdgeAreReadSoTheNextRowStaysInStep) {
    const Bytes shp =
        ShpBuilder().Image({1, 3, 0, 0, 1}).Raw({0x06, 1, 0x06, 2, 0x00, 0x04, 3, 0x00}).Build();
    EXPECT_EQ(RecordsOf(S16Of(shp)),
              (std::vector<Record>{Rec(3, 1), Rec(1, 2), Rec(2, 3), Rec(2, 5)}));
    EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)),
              (std::vector<Record>{Rec(3, 1), Rec(3, 2), Rec(2, 3), Rec(1, 5)}));
}

TEST(ConvertShpToS16, RowStartsAtXStartOrZero) {
    const struct {
        std::int32_t xStart;
        std::int16_t lastColumn;
        std::vector<Record> whole;
        std::vector<Record> legacy;
    } cases[] = {
        {4, 9, {Rec(4, 5), Rec(6, 5)}, {Rec(5, 5)}},
        {0, 9, {Rec(10, 5)}, {Rec(9, 5)}},
        {-3, 9, {Rec(10, 5)}, {Rec(9, 5)}},
        {9, 9, {Rec(9, 5), Rec(1, 5)}, {}},
        {12, 9, {Rec(10, 5)}, {}},
        {INT32_MIN, 2, {Rec(3, 5)}, {Rec(2, 5)}},
        {65539, 9, {Rec(10, 5)}, {}},
        {INT32_MAX, 32767, Transparent(32768), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xStart);
        const Bytes shp = OneRow(c.lastColumn, c.xStart, {0x00});
        EXPECT_EQ(RecordsOf(S16Of(shp)), c.whole);
        EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)), c.legacy);
    }
}

TEST(ConvertShpToS16, FillsWiderThanOneRecordAreSplit) {
    const struct {
        std::int16_t pixels;
        std::size_t full;  // records of 255
        int rest;          // the last record's count, 0 for none
    } cases[] = {{255, 1, 0}, {256, 1, 1}, {510, 2, 0}, {511, 2, 1}, {32767, 128, 127}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixels);
        std::vector<Record> expected(c.full, Rec(255, 5));
        if (c.rest > 0) {
            expected.push_back(Rec(c.rest, 5));
        }
        EXPECT_EQ(RecordsOf(S16Of(OneRow(static_cast<std::int16_t>(c.pixels - 1), 0, {0x00}))),
                  expected);
        EXPECT_EQ(RecordsOf(S16Of(OneRow(c.pixels, 0, {0x00}), S16Rows::kLegacy)), expected);
    }
}

TEST(ConvertShpToS16, WholeRowsAreTheHeadersRowsLegacyRowsTheCodedOnes) {
    const struct {
        std::int32_t yStart, yEnd;
        std::size_t coded;
    } cases[] = {{0, 0, 1}, {-2, 1, 4}, {7, 9, 3}, {5, 4, 0}, {INT32_MAX, INT32_MIN, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.yStart);
        // No codes at all: every row is its fill and nothing else.
        const Bytes shp = ShpBuilder().Image({2, 3, 0, c.yStart, c.yEnd}).Build();
        const Bytes whole = S16Of(shp);
        EXPECT_EQ(RecordsOf(whole), std::vector<Record>(3, Rec(4, 5)));
        EXPECT_EQ(HeaderField(whole, 7), 12);
        const Bytes legacy = S16Of(shp, S16Rows::kLegacy);
        EXPECT_EQ(RecordsOf(legacy), std::vector<Record>(c.coded, Rec(3, 5)));
        EXPECT_EQ(HeaderField(legacy, 7), static_cast<std::int32_t>(4 * c.coded));
    }
}

TEST(ConvertShpToS16, CodeCutShortBySourceEndMakesNoPixel) {
    const struct {
        const char* name;
        Bytes codes;
        std::vector<Record> firstRow;  // as whole rows; legacy fills one pixel less
    } cases[] = {
        {"skip without count", {0x04, 0x03, 0x01}, {Rec(2, 3), Rec(8, 5)}},
        {"run without colour", {0x04, 0x03, 0x06}, {Rec(2, 3), Rec(8, 5)}},
        {"literal of 3 with 2 bytes", {0x07, 0x01, 0x02}, {Rec(1, 1), Rec(1, 2), Rec(8, 5)}},
        {"source ends after end code", {0x04, 0x03, 0x00}, {Rec(2, 3), Rec(8, 5)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes shp = ShpBuilder().Image({2, 9, 0, 0, 2}).Raw(c.codes).Build();
        EXPECT_EQ(RecordsOf(S16Of(shp)), Then(c.firstRow, {Rec(10, 5), Rec(10, 5)}));
        std::vector<Record> legacy = c.firstRow;
        legacy.back().count -= 1;
        EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)), Then(legacy, {Rec(9, 5), Rec(9, 5)}));
    }
}

TEST(ConvertShpToS16, ConvertsOnlyTheImageAtTheHeaderOffset) {
    const ShpImageFields wanted{1, 7, 2, 0, 1};
    const Bytes alone = ShpBuilder().Image(wanted).Run(3, 40).EndRow().Skip(6).Build();
    const Bytes other = ShpBuilder().Image({4, 30, 0, 0, 4}).Run(30, 9).EndRow().Build();

    // The other image's header and codes sit between the lead-in and ours.
    const std::size_t otherSize = other.size() - 12;
    Bytes both = ShpBuilder().Image(wanted).Padding(otherSize).Run(3, 40).EndRow().Skip(6).Build();
    std::copy(other.begin() + 12, other.end(), both.begin() + 12);

    EXPECT_EQ(S16Of(both), S16Of(alone));
    EXPECT_EQ(RecordsOf(S16Of(alone)),
              (std::vector<Record>{Rec(2, 5), Rec(3, 40), Rec(3, 5), Rec(2, 5), Rec(6, 5)}));
    EXPECT_EQ(RecordsOf(S16Of(alone, S16Rows::kLegacy)),
              (std::vector<Record>{Rec(3, 40), Rec(2, 5), Rec(6, 5)}));
}

TEST(ConvertShpToS16, XStartAtInt32MaxDoesNotWrap) {
    // Past INT32_MAX a 32-bit column would turn negative and ask for a
    // fill of about two billion pixels.
    ShpBuilder builder;
    builder.Image({0, 32767, INT32_MAX, 0, 0});
    for (int i = 0; i < 20; ++i) {
        builder.Run(127, 1);
    }
    const Bytes shp = builder.EndRow().Build();
    EXPECT_EQ(RecordsOf(S16Of(shp)), Transparent(32768));
    EXPECT_EQ(RecordsOf(S16Of(shp, S16Rows::kLegacy)), std::vector<Record>(20, Rec(127, 1)));
}

TEST(ConvertShpToS16, RejectsBrokenHeadersWithoutWriting) {
    const Bytes good = ShpBuilder().Image({0, 3, 0, 0, 0}).Build();  // exactly 36 bytes
    Bytes offsetMinusOne = good;
    offsetMinusOne[8] = offsetMinusOne[9] = offsetMinusOne[10] = offsetMinusOne[11] = 0xFF;
    const struct {
        const char* name;
        Bytes shp;
        FormatError error;
    } cases[] = {
        {"empty", {}, FormatError::kTooShortForHeaders},
        {"11 bytes", Bytes(good.begin(), good.begin() + 11), FormatError::kTooShortForHeaders},
        {"lead-in only", Bytes(good.begin(), good.begin() + 12), FormatError::kHeaderOutsideFile},
        {"header one byte short", Bytes(good.begin(), good.end() - 1),
         FormatError::kHeaderOutsideFile},
        {"offset -1", offsetMinusOne, FormatError::kNegativeHeaderOffset},
        {"offset INT32_MIN", ShpBuilder().HeaderOffset(INT32_MIN).Build(),
         FormatError::kNegativeHeaderOffset},
        {"offset past the end", ShpBuilder().HeaderOffset(13).Build(),
         FormatError::kHeaderOutsideFile},
        {"offset INT32_MAX", ShpBuilder().HeaderOffset(INT32_MAX).Build(),
         FormatError::kHeaderOutsideFile},
        {"full int32 row range", ShpBuilder().Image({0, 0, 0, INT32_MIN, INT32_MAX}).Build(),
         FormatError::kTooManyRows},
        {"65537 rows", ShpBuilder().Image({0, 0, 0, 0, 65536}).Build(), FormatError::kTooManyRows},
        {"65537 negative rows", ShpBuilder().Image({0, 0, 0, -65537, -1}).Build(),
         FormatError::kTooManyRows},
        {"shapefile", ShapefileBytes(), FormatError::kShapefile},
        {"S16", S16Of(MakeMap(40, 30, MapStyle::kMixed)), FormatError::kS16Picture},
        {"S16 of no columns", S16Of(OneRow(-1, 0, {})), FormatError::kS16Picture},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySink sink;
        EXPECT_EQ(ConvertShpBytes(c.shp.data(), c.shp.size(), sink).error, c.error);
        EXPECT_TRUE(sink.Bytes().empty());
    }
    EXPECT_EQ(RecordsOf(S16Of(good)), std::vector<Record>{Rec(4, 5)});
}

TEST(ConvertShpToS16, AcceptsExactlyTheMostRows) {
    const Bytes most = ShpBuilder().Image({0, 1, 0, -65536, -1}).Build();
    EXPECT_EQ(RecordsOf(S16Of(most)), std::vector<Record>{Rec(2, 5)});
    EXPECT_EQ(RecordsOf(S16Of(most, S16Rows::kLegacy)), std::vector<Record>(65536, Rec(1, 5)));
}

}  // namespace
}  // namespace drovana::test
