// Proves that no input, however broken, makes the decoding core crash, read
// or write out of bounds, or write an S16 picture that contradicts its input:
// the header's record size matches the records, every coloured record comes
// from a byte of the input, and the output stays within what the input and
// its header allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "MapPalette.h"
#include "RunRecord.h"
#include "S16Format.h"
#include "ShpFormat.h"
#include "ShpToS16.h"

namespace {

using namespace drovana;

// Fewer rows than real pictures may have keep every run short; the real limit
// has a test of its own.
constexpr std::int64_t kFuzzRowLimit = 64;
constexpr std::int64_t kMaxFillRecordsPerRow = 129;  // 32767 pixels in 255-pixel records

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckOutput(const std::uint8_t* data, std::size_t size, const std::vector<std::uint8_t>& out) {
    Require(out.size() >= kS16LeadInSize && (out.size() - kS16LeadInSize) % kRunRecordSize == 0);
    const std::int32_t dataBytes = LoadLe32(out.data() + kS16HeaderOffset + 4 * kS16DataBytesField);
    Require(static_cast<std::size_t>(dataBytes) == out.size() - kS16LeadInSize);

    bool colourSeen[1 << 16] = {};
    colourSeen[PackColour(kTransparentIndex)] = true;
    for (std::size_t i = 0; i < size; ++i) {
        colourSeen[PackColour(data[i])] = true;
    }
    for (std::size_t at = kS16LeadInSize; at < out.size(); at += kRunRecordSize) {
        Require(out[at + 1] == 0);
        Require(colourSeen[out[at + 2] | (out[at + 3] << 8)]);
    }
    // Each record takes at least one input byte, except the fills at row ends.
    const auto records = static_cast<std::int64_t>(out.size() - kS16LeadInSize) / 4;
    Require(records <= static_cast<std::int64_t>(size) + kFuzzRowLimit * kMaxFillRecordsPerRow);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySink sink;
    DecodeLimits limits;
    limits.maxRows = kFuzzRowLimit;
    if (ConvertShpBytes(data, size, sink, limits).Ok()) {
        CheckOutput(data, size, sink.Bytes());
    } else {
        Require(sink.Bytes().empty());
    }
    return 0;
}
