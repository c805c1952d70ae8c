// FuzzInput: the bytes of one fuzz input taken apart into the values a target needs.
//
// Every read is defined for every input: once the bytes run out, reads answer zero (or the
// low end of a range) instead of failing, so a fuzzer can shrink an input freely. The
// input is borrowed and must outlive the reader. Nothing here throws.
#ifndef XRAY_TESTS_FUZZ_FUZZINPUT_H
#define XRAY_TESTS_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace fuzz {

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : fData(data), fSize(size) {}

    size_t remaining() const { return fSize - fOffset; }

    uint8_t Byte() { return fOffset < fSize ? fData[fOffset++] : 0; }

    bool Flag() { return (Byte() & 1) != 0; }

    uint32_t Uint32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Byte();
        return value;
    }

    // A value in [low, high], uniform enough for a fuzzer's purposes.
    uint32_t InRange(uint32_t low, uint32_t high) {
        const uint64_t span = static_cast<uint64_t>(high) - low + 1;
        return low + static_cast<uint32_t>(Uint32() % span);
    }

    // Any 8-byte double, NaNs, infinities and subnormals included.
    double RawDouble() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | Byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Mostly a value in [low, high] at 16-bit granularity; when the first byte says so, any
    // double at all, so the edges (zero, negative, NaN, huge) are reached often.
    double Number(double low, double high) {
        if (Byte() % 8 == 0)
            return RawDouble();
        const uint32_t step = (static_cast<uint32_t>(Byte()) << 8) | Byte();
        return low + (high - low) * step / 65535.0;
    }

    // Everything not read yet.
    std::string Rest() {
        const std::string rest(reinterpret_cast<const char*>(fData) + fOffset, remaining());
        fOffset = fSize;
        return rest;
    }

  private:
    const uint8_t* fData;
    size_t fSize;
    size_t fOffset = 0;
};

}  // namespace fuzz

#endif  // XRAY_TESTS_FUZZ_FUZZINPUT_H
