#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "MapPalette.h"
#include "S16Bytes.h"

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
    return Le32(s16, 4 + 4 * field);
}

// The records behind the lead-in; byte 1 of each must be 0 or the record is
// reported with count -1 so that the comparison fails visibly.
inline std::vector<Record> RecordsOf(const std::vector<std::uint8_t>& s16) {
    std::vector<Record> records;
    for (std::size_t at = 44; at + 4 <= s16.size(); at += 4) {
        const int count = s16[at + 1] == 0 ? s16[at] : -1;
        records.push_back({count, static_cast<std::uint16_t>(Le16(s16, at + 2))});
    }
    return records;
}

}  // namespace drovana::test
