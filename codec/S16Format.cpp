#include "S16Format.h"

#include "ByteOrder.h"

namespace drovana {

void EncodeS16Header(std::int32_t columns, std::int32_t rows, std::int32_t dataBytes,
                     std::uint8_t (&out)[kS16HeaderSize]) {
    const std::int32_t fields[kS16HeaderSize / 4] = {columns, rows, 0,         0, columns,
                                                     rows,    0,    dataBytes, 1, 0};
    for (std::size_t i = 0; i < kS16HeaderSize / 4; ++i) {
        StoreLe32(out + 4 * i, fields[i]);
    }
}

}  // namespace drovana
