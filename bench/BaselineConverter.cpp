#include "BaselineConverter.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "ByteOrder.h"
#include "MapPalette.h"
#include "RunRecord.h"
#include "S16Format.h"
#include "ShpFormat.h"

namespace drovana::bench {
namespace {

struct Output {
    std::FILE* file;
    std::int64_t records = 0;
};

void PutRecord(Output& out, unsigned count, unsigned index) {
    const std::uint16_t colour = PackColour(static_cast<int>(index));
    const unsigned char record[4] = {static_cast<unsigned char>(count), 0,
                                     static_cast<unsigned char>(colour),
                                     static_cast<unsigned char>(colour >> 8)};
    std::fwrite(record, 1, sizeof record, out.file);
    ++out.records;
}

void WriteHeader(std::FILE* file, const ShpImageHeader& image, std::int64_t dataBytes) {
    std::uint8_t header[kS16HeaderSize];
    EncodeS16Header(std::int32_t{image.lastColumn} + 1, std::int32_t{image.lastRow} + 1,
                    static_cast<std::int32_t>(dataBytes), header);
    std::fwrite(header, 1, sizeof header, file);
}

// Decodes one row's codes; returns false once the source has ended.
bool DecodeRow(std::FILE* in, Output& out, std::int64_t& x) {
    for (;;) {
        const int code = std::fgetc(in);
        if (code == EOF) {
            return false;
        }
        if (code == 0) {
            return true;
        }
        if (code == 1 || code % 2 == 0) {
            const int value = std::fgetc(in);
            if (value == EOF) {
                return false;
            }
            const bool skip = code == 1;
            const auto count = static_cast<unsigned>(skip ? value : code / 2);
            PutRecord(out, count, static_cast<unsigned>(skip ? kTransparentIndex : value));
            x += count;
            continue;
        }
        for (int i = 0; i < code / 2; ++i) {
            const int value = std::fgetc(in);
            if (value == EOF) {
                return false;
            }
            PutRecord(out, 1, static_cast<unsigned>(value));
            ++x;
        }
    }
}

bool Convert(std::FILE* in, const char* target, bool sync) {
    std::uint8_t leadIn[kShpLeadInSize];
    if (std::fread(leadIn, 1, sizeof leadIn, in) != sizeof leadIn) {
        return false;
    }
    const std::int32_t headerOffset = LoadLe32(leadIn + kShpImageOffsetField);
    std::uint8_t raw[kShpImageHeaderSize];
    if (headerOffset < 0 || std::fseek(in, headerOffset, SEEK_SET) != 0 ||
        std::fread(raw, 1, sizeof raw, in) != sizeof raw) {
        return false;
    }
    ShpImageHeader image;
    image.lastRow = LoadLe16(raw + 0);
    image.lastColumn = LoadLe16(raw + 2);
    image.xStart = LoadLe32(raw + 8);
    image.yStart = LoadLe32(raw + 12);
    image.yEnd = LoadLe32(raw + 20);
    const std::int64_t rows =
        std::max<std::int64_t>(std::int64_t{image.yEnd} - image.yStart + 1, 0);
    if (rows > kMaxShpRows) {
        return false;
    }

    Output out{std::fopen(target, "wb")};
    if (out.file == nullptr) {
        return false;
    }
    std::fwrite(leadIn + kShpCopiedBytesOffset, 1, kS16CopiedBytesSize, out.file);
    WriteHeader(out.file, image, 0);

    bool sourceEnded = false;
    for (std::int64_t row = 0; row < rows; ++row) {
        std::int64_t x = std::max<std::int32_t>(image.xStart, 0);
        if (!sourceEnded) {
            sourceEnded = !DecodeRow(in, out, x);
        }
        for (std::int64_t left = image.lastColumn - x; left > 0; left -= kMaxRunCount) {
            PutRecord(out, static_cast<unsigned>(std::min<std::int64_t>(left, kMaxRunCount)),
                      static_cast<unsigned>(kTransparentIndex));
        }
    }

    const std::int64_t dataBytes = out.records * static_cast<std::int64_t>(kRunRecordSize);
    bool ok = dataBytes <= kMaxS16DataBytes && !std::ferror(in);
    ok = std::fseek(out.file, kS16HeaderOffset, SEEK_SET) == 0 && ok;
    WriteHeader(out.file, image, dataBytes);
    ok = !std::ferror(out.file) && ok;
    if (sync) {
        ok = std::fflush(out.file) == 0 && ::fdatasync(fileno(out.file)) == 0 && ok;
    }
    return std::fclose(out.file) == 0 && ok;
}

}  // namespace

bool BaselineConvertShpFile(const char* source, const char* target, bool sync) {
    std::FILE* in = std::fopen(source, "rb");
    if (in == nullptr) {
        return false;
    }
    const bool ok = Convert(in, target, sync);
    std::fclose(in);
    return ok;
}

}  // namespace drovana::bench
