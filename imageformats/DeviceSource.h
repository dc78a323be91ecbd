#pragma once

#include <QIODevice>

#include "ByteIo.h"

// A random-access Qt device as a byte source for the core's picture decoder.
// Every read puts the device back where it was, so that a format check
// leaves it untouched.
namespace drovana {

class DeviceSource final : public ByteSource {
public:
    explicit DeviceSource(QIODevice& device) : device_(device) {}

    std::uint64_t Size() const override;
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;
    bool Failed() const override { return failed_; }

private:
    QIODevice& device_;
    bool failed_ = false;
};

}  // namespace drovana
