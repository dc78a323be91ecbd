#include "ShpToS16.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "MapPalette.h"
#include "RunRecord.h"
#include "S16Format.h"
#include "ShpCodes.h"

namespace drovana {
namespace {

// Both buffers are allocated once per thread and reused: touching fresh
// memory for every picture costs more than converting a small one. The
// output buffer holds a typical map whole, so that it is written in one call
// with its header already final.
constexpr std::size_t kInputBufferSize = 256 * 1024;
constexpr std::size_t kOutputBufferSize = 1024 * 1024;

// Literal pixels are stored in whole blocks of records, so the fast path
// may read and store up to one block past a code's end. It runs only while
// the windows hold the longest literal rounded up to whole blocks; records
// stored past a code's end are overwritten by the next codes or never
// counted.
constexpr std::ptrdiff_t kLiteralBlock = 16;
constexpr std::ptrdiff_t kLongestLiteral = 127;
constexpr std::ptrdiff_t kBlockedLiteral =
    (kLongestLiteral + kLiteralBlock - 1) / kLiteralBlock * kLiteralBlock;
constexpr std::ptrdiff_t kFastInput = 1 + kBlockedLiteral;
constexpr std::ptrdiff_t kFastOutput = kBlockedLiteral * kRunRecordSize;

struct Buffers {
    std::unique_ptr<std::uint8_t[]> input{new std::uint8_t[kInputBufferSize]};
    std::unique_ptr<std::uint8_t[]> output{new std::uint8_t[kOutputBufferSize]};
};

Buffers& ThreadBuffers() {
    thread_local Buffers buffers;
    return buffers;
}

// Stores one literal record per index, unrolled: a loop would spend as many
// instructions on counting as on the records.
template <std::size_t... I>
void StoreLiteralBlock(std::uint8_t* out, const std::uint8_t* in, std::index_sequence<I...>) {
    (StoreLiteralRecord(out + kRunRecordSize * I, in[I]), ...);
}

// Hands out the pixel codes window by window.
class CodeReader {
public:
    CodeReader(ByteSource& source, std::uint64_t offset, std::uint8_t* buffer)
        : source_(source), offset_(offset), buffer_(buffer) {}

    // Fills the buffer with the next bytes; returns one past the last byte
    // read, which equals the buffer start at the end of the source.
    const std::uint8_t* Refill() {
        const std::size_t n = source_.ReadAt(offset_, buffer_, kInputBufferSize);
        offset_ += n;
        return buffer_ + n;
    }

    const std::uint8_t* Start() const { return buffer_; }
    bool Failed() const { return source_.Failed(); }

private:
    ByteSource& source_;
    std::uint64_t offset_;
    std::uint8_t* buffer_;
};

// Passes full output buffers on to the sink and keeps the record count.
class RecordFlusher {
public:
    RecordFlusher(ByteSink& sink, std::uint8_t* buffer, const std::atomic<bool>* cancel)
        : sink_(sink), buffer_(buffer), cancel_(cancel) {}

    std::uint8_t* Start() const { return buffer_; }
    std::uint8_t* Limit() const { return buffer_ + kOutputBufferSize; }

    // Writes the buffer up to `end`; returns the buffer start to go on with,
    // or nullptr after a failure.
    std::uint8_t* Flush(std::uint8_t* end) {
        const auto n = static_cast<std::size_t>(end - buffer_);
        written_ += n;
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) {
            error_ = FormatError::kCancelled;
            return nullptr;
        }
        if (written_ - static_cast<std::int64_t>(kS16LeadInSize) > kMaxS16DataBytes) {
            error_ = FormatError::kOutputTooLarge;
            return nullptr;
        }
        if (!sink_.Write(buffer_, n)) {
            error_ = FormatError::kWriteError;
            return nullptr;
        }
        return buffer_;
    }

    std::int64_t Written() const { return written_; }
    FormatError Error() const { return error_; }

private:
    ByteSink& sink_;
    std::uint8_t* buffer_;
    const std::atomic<bool>* cancel_;
    std::int64_t written_ = 0;
    FormatError error_ = FormatError::kNone;
};

// How many of `pixels` starting at column `x` lie left of `edge`.
template <typename Count>
Count UpToEdge(Count pixels, std::int64_t x, std::int64_t edge) {
    return static_cast<Count>(std::min<std::int64_t>(static_cast<std::int64_t>(pixels), edge - x));
}

// The row loop. Reader and output positions live in locals so that the
// compiler keeps them in registers across the byte stores.
class RowDecoder {
public:
    RowDecoder(const ShpLayout& layout, CodeReader& reader, RecordFlusher& flusher)
        : layout_(layout), reader_(reader), flusher_(flusher) {}

    // Decodes every row; returns false when a flush failed.
    bool Run(std::uint8_t* out, S16Rows rows) {
        out_ = out;
        in_ = inEnd_ = reader_.Start();
        return rows == S16Rows::kWhole ? WholeRows() : LegacyRows();
    }

    std::uint8_t* Out() const { return out_; }

private:
    // `rows` rows of exactly `columns` pixels: transparent before the first
    // coded column, codes cut at the right edge, a fill up to it, and
    // transparent rows where the codes stop short of the picture.
    bool WholeRows() {
        const std::int64_t columns = std::int64_t{layout_.image.lastColumn} + 1;
        const std::int64_t rows = std::int64_t{layout_.image.lastRow} + 1;
        if (columns <= 0 || rows <= 0) {
            return true;
        }
        const std::int64_t lead = std::min(FirstColumn(), columns);
        const std::int64_t codedRows = std::min(layout_.rowCount, rows);
        bool sourceEnded = false;
        std::int64_t row = 0;
        for (; row < codedRows; ++row) {
            std::int64_t x = FirstColumn();
            if (!Fill(lead) || (!sourceEnded && !DecodeRow(x, columns, sourceEnded)) ||
                !Fill(columns - x)) {
                return false;
            }
        }
        for (; row < rows; ++row) {
            if (!Fill(columns)) {
                return false;
            }
        }
        return true;
    }

    // Every coded row from the first coded column, filled up to lastColumn.
    bool LegacyRows() {
        constexpr std::int64_t kNoEdge = INT64_MAX;
        bool sourceEnded = false;
        for (std::int64_t row = 0; row < layout_.rowCount; ++row) {
            std::int64_t x = FirstColumn();
            if ((!sourceEnded && !DecodeRow(x, kNoEdge, sourceEnded)) ||
                !Fill(layout_.image.lastColumn - x)) {
                return false;
            }
        }
        return true;
    }

    std::int64_t FirstColumn() const { return std::max<std::int32_t>(layout_.image.xStart, 0); }

    // Makes room for at least one record.
    bool Room() {
        if (flusher_.Limit() - out_ >= static_cast<std::ptrdiff_t>(kRunRecordSize)) {
            return true;
        }
        out_ = flusher_.Flush(out_);
        return out_ != nullptr;
    }

    bool Put(unsigned count, unsigned index) {
        if (!Room()) {
            return false;
        }
        StoreRunRecord(out_, count, index);
        out_ += kRunRecordSize;
        return true;
    }

    // Reads the next byte; false at the end of the source.
    bool Next(unsigned& value) {
        if (in_ == inEnd_) {
            in_ = reader_.Start();
            inEnd_ = reader_.Refill();
            if (in_ == inEnd_) {
                return false;
            }
        }
        value = *in_++;
        return true;
    }

    // Runs wider than one record holds become several full records and one
    // for the rest.
    bool Fill(std::int64_t pixels) {
        for (; pixels > 0; pixels -= kMaxRunCount) {
            const auto count = static_cast<unsigned>(std::min<std::int64_t>(pixels, kMaxRunCount));
            if (!Put(count, kTransparentIndex)) {
                return false;
            }
        }
        return true;
    }

    enum class Step { kMore, kRowEnd, kFailed };

    // Decodes one row's codes up to its end code. Records stop at column
    // `edge`: a code that crosses it is cut there, later codes are read but
    // make no record. Sets `sourceEnded` when the source ends first; a code
    // cut short by the end makes no pixel. While the windows hold more than
    // any code reads or stores, codes take the fast path without per-byte end
    // checks; positions stay in locals there, since the record stores could
    // otherwise alias them.
    bool DecodeRow(std::int64_t& xRow, std::int64_t edge, bool& sourceEnded) {
        const std::uint8_t* in = in_;
        const std::uint8_t* inEnd = inEnd_;
        std::uint8_t* out = out_;
        std::uint8_t* const outLimit = flusher_.Limit();
        // Columns left before the edge, counted down: one subtraction per
        // code sets the flags its test needs. A code that passes the edge,
        // rare, is cut back afterwards, which keeps the chain through the
        // count short.
        std::int64_t left = edge - xRow;
        bool atEdge = left <= 0;
        while (!atEdge) {
            if (inEnd - in >= kFastInput && outLimit - out >= kFastOutput) {
                const unsigned code = *in++;
                if (code == 0) {
                    break;
                }
                if (IsLiteralCode(code)) {
                    const std::ptrdiff_t pixels = ShpCodePixels(code);
                    // Whole blocks, so that a short literal, the common
                    // case, is one pass of fixed length: a loop that stops
                    // at the exact count mispredicts its exit.
                    for (std::ptrdiff_t i = 0; i < pixels; i += kLiteralBlock) {
                        StoreLiteralBlock(out + kRunRecordSize * i, in + i,
                                          std::make_index_sequence<kLiteralBlock>());
                    }
                    in += pixels;
                    out += kRunRecordSize * pixels;
                    left -= pixels;
                    if (left <= 0) {
                        out -= kRunRecordSize * static_cast<std::size_t>(-left);
                        left = 0;
                        atEdge = true;
                        break;
                    }
                } else {
                    // Skips and runs share one path.
                    const unsigned value = *in++;
                    const unsigned skipMask = SkipMask(code);
                    const unsigned count = ShpCodePixels(code) + (value & skipMask);
                    const unsigned index = value ^ ((value ^ kTransparentIndex) & skipMask);
                    StoreRunRecord(out, count, index);
                    out += kRunRecordSize;
                    left -= count;
                    if (left <= 0) {
                        // The count byte, less the pixels past the edge.
                        out[-static_cast<std::ptrdiff_t>(kRunRecordSize)] =
                            static_cast<std::uint8_t>(
                                out[-static_cast<std::ptrdiff_t>(kRunRecordSize)] + left);
                        left = 0;
                        atEdge = true;
                        break;
                    }
                }
                continue;
            }
            in_ = in;
            out_ = out;
            std::int64_t x = edge - left;
            const Step step = CarefulStep(x, edge, sourceEnded);
            left = edge - x;
            in = in_;
            inEnd = inEnd_;
            out = out_;
            if (step == Step::kFailed) {
                return false;
            }
            if (step == Step::kRowEnd) {
                break;
            }
            atEdge = left <= 0;
        }
        in_ = in;
        out_ = out;
        xRow = edge - left;
        return atEdge ? SkipRestOfRow(sourceEnded) : true;
    }

    // Reads the codes up to the row's end without making records.
    bool SkipRestOfRow(bool& sourceEnded) {
        unsigned code = 0;
        unsigned value = 0;
        while (Next(code)) {
            const ShpCode kind = ClassifyShpCode(code);
            if (kind == ShpCode::kRowEnd) {
                return true;
            }
            for (unsigned left = kind == ShpCode::kLiteral ? ShpCodePixels(code) : 1; left > 0;
                 --left) {
                if (!Next(value)) {
                    break;
                }
            }
        }
        sourceEnded = true;
        return true;
    }

    // Decodes one code near the end of a window, checking every byte.
    Step CarefulStep(std::int64_t& x, std::int64_t edge, bool& sourceEnded) {
        unsigned code = 0;
        unsigned value = 0;
        if (!Next(code)) {
            sourceEnded = true;
            return Step::kRowEnd;
        }
        const ShpCode kind = ClassifyShpCode(code);
        if (kind == ShpCode::kRowEnd) {
            return Step::kRowEnd;
        }
        if (kind != ShpCode::kLiteral) {
            if (!Next(value)) {
                sourceEnded = true;
                return Step::kRowEnd;
            }
            const bool skip = kind == ShpCode::kSkip;
            const unsigned count = UpToEdge(skip ? value : ShpCodePixels(code), x, edge);
            if (!Put(count, skip ? kTransparentIndex : value)) {
                return Step::kFailed;
            }
            x += count;
            return Step::kMore;
        }
        if (!Literal(ShpCodePixels(code), x, edge, sourceEnded)) {
            return Step::kFailed;
        }
        return sourceEnded ? Step::kRowEnd : Step::kMore;
    }

    // One record of count 1 per literal pixel left of the edge, copied in as
    // large blocks as the input window and the output buffer allow.
    bool Literal(unsigned pixels, std::int64_t& x, std::int64_t edge, bool& sourceEnded) {
        while (pixels > 0) {
            if (in_ == inEnd_) {
                in_ = reader_.Start();
                inEnd_ = reader_.Refill();
                if (in_ == inEnd_) {
                    sourceEnded = true;
                    return true;
                }
            }
            if (!Room()) {
                return false;
            }
            const auto roomRecords =
                static_cast<std::size_t>(flusher_.Limit() - out_) / kRunRecordSize;
            const std::size_t n = std::min<std::size_t>(
                {pixels, static_cast<std::size_t>(inEnd_ - in_), roomRecords});
            const std::uint8_t* in = in_;
            std::uint8_t* out = out_;
            const std::size_t kept = UpToEdge(n, x, edge);
            for (std::size_t i = 0; i < kept; ++i, out += kRunRecordSize) {
                StoreLiteralRecord(out, in[i]);
            }
            in_ += n;
            out_ = out;
            x += static_cast<std::int64_t>(kept);
            pixels -= static_cast<unsigned>(n);
        }
        return true;
    }

    const ShpLayout& layout_;
    CodeReader& reader_;
    RecordFlusher& flusher_;
    const std::uint8_t* in_ = nullptr;
    const std::uint8_t* inEnd_ = nullptr;
    std::uint8_t* out_ = nullptr;
};

void EncodeHeaderFor(const ShpLayout& layout, std::int32_t dataBytes,
                     std::uint8_t (&header)[kS16HeaderSize]) {
    // The 16-bit header words are sign-extended before 1 is added.
    const std::int32_t columns = std::int32_t{layout.image.lastColumn} + 1;
    const std::int32_t rows = std::int32_t{layout.image.lastRow} + 1;
    EncodeS16Header(columns, rows, dataBytes, header);
}

}  // namespace

FormatResult WriteS16(ByteSource& source, const ShpLayout& layout, ByteSink& sink,
                      const std::atomic<bool>* cancel, S16Rows rows) {
    Buffers& buffers = ThreadBuffers();
    CodeReader reader(source, layout.codesOffset, buffers.input.get());
    RecordFlusher flusher(sink, buffers.output.get(), cancel);

    std::uint8_t* out = flusher.Start();
    std::copy(layout.copiedBytes.begin(), layout.copiedBytes.end(), out);
    std::uint8_t header[kS16HeaderSize];
    EncodeHeaderFor(layout, 0, header);
    std::copy(std::begin(header), std::end(header), out + kS16CopiedBytesSize);

    RowDecoder decoder(layout, reader, flusher);
    if (!decoder.Run(out + kS16LeadInSize, rows)) {
        return {flusher.Error()};
    }
    if (reader.Failed()) {
        return {FormatError::kReadError};
    }
    // A picture still wholly in the buffer gets its final header before its
    // only write; a larger one has the header rewritten in place once the
    // flush has checked the size of its record area.
    const bool wholeInBuffer = flusher.Written() == 0;
    if (wholeInBuffer) {
        const auto dataBytes = static_cast<std::int32_t>(decoder.Out() - (out + kS16LeadInSize));
        EncodeHeaderFor(layout, dataBytes, header);
        std::copy(std::begin(header), std::end(header), out + kS16CopiedBytesSize);
    }
    if (!flusher.Flush(decoder.Out())) {
        return {flusher.Error()};
    }
    if (!wholeInBuffer) {
        const auto dataBytes = static_cast<std::int32_t>(flusher.Written() - kS16LeadInSize);
        EncodeHeaderFor(layout, dataBytes, header);
        if (!sink.WriteAt(kS16HeaderOffset, header, sizeof header)) {
            return {FormatError::kWriteError};
        }
    }
    return {};
}

FormatResult ConvertShpStream(ByteSource& source, ByteSink& sink, const DecodeLimits& limits,
                              S16Rows rows) {
    ShpLayout layout;
    const FormatError error = ReadShpLayout(source, limits.maxRows, layout);
    if (error != FormatError::kNone) {
        return {error};
    }
    return WriteS16(source, layout, sink, nullptr, rows);
}

FormatResult ConvertShpBytes(const std::uint8_t* data, std::size_t size, ByteSink& sink,
                             const DecodeLimits& limits, S16Rows rows) {
    MemorySource source(data, size);
    return ConvertShpStream(source, sink, limits, rows);
}

}  // namespace drovana
