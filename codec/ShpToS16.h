#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "ByteIo.h"
#include "FormatError.h"
#include "S16Format.h"
#include "ShpFormat.h"

// The decoding core: turns the first image of an SHP picture into an S16
// picture, from any byte source into any byte sink. The file function, the
// tests, the benchmark and the fuzzer all run through it.
namespace drovana {

struct DecodeLimits {
    std::int64_t maxRows = kMaxShpRows;
};

// Reads the headers, then writes the whole S16 picture to `sink`.
FormatResult ConvertShpStream(ByteSource& source, ByteSink& sink, const DecodeLimits& limits = {},
                              S16Rows rows = S16Rows::kWhole);

// The same over bytes in memory.
FormatResult ConvertShpBytes(const std::uint8_t* data, std::size_t size, ByteSink& sink,
                             const DecodeLimits& limits = {}, S16Rows rows = S16Rows::kWhole);

// Writes the S16 picture for a layout already read from `source`, so that a
// caller can check the headers before it creates the sink. Once `cancel` is
// set the conversion stops with kCancelled at its next full output buffer.
FormatResult WriteS16(ByteSource& source, const ShpLayout& layout, ByteSink& sink,
                      const std::atomic<bool>* cancel = nullptr, S16Rows rows = S16Rows::kWhole);

}  // namespace drovana
