#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "MapPalette.h"
#include "ShpToS16.h"

// Reading S16 output back in the terms the tests speak: header fields and
// (count, colour) records.
namespace drovana::test {

struct Record {
    int count;
    int colour;

    bool operator==(const Record& other) const {
        return count == other.count && colour == other.colour;
    }
};

inline void PrintTo(const Record& r, std::ostream* os) {
    *os << "(" << r.count << ", 0x" << std::hex << r.colour << std::dec << ")";
}

// A record of `count` pixels of palette `index`.
inline Record Rec(int count, int index) {
    return {count, PackColour(index)};
}

inline std::int32_t HeaderField(const std::vector<std::uint8_t>& s16, std::size_t field) {
    const std::uint8_t* p = s16.data() + 4 + 4 * field;
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

// The records behind the lead-in; byte 1 of each must be 0 or the record is
// reported with count -1 so that the comparison fails visibly.
inline std::vector<Record> RecordsOf(const std::vector<std::uint8_t>& s16) {
    std::vector<Record> records;
    for (std::size_t at = 44; at + 4 <= s16.size(); at += 4) {
        const int count = s16[at + 1] == 0 ? s16[at] : -1;
        records.push_back({count, s16[at + 2] | (s16[at + 3] << 8)});
    }
    return records;
}

// Converts in memory and expects success.
inline std::vector<std::uint8_t> ConvertOk(const std::vector<std::uint8_t>& shp,
                                           const DecodeLimits& limits = {}) {
    MemorySink sink;
    const ConvertResult result = ConvertShpBytes(shp.data(), shp.size(), sink, limits);
    if (!result.Ok()) {
        ADD_FAILURE() << DescribeConvertResult(result);
        return {};
    }
    return sink.Bytes();
}

}  // namespace drovana::test
