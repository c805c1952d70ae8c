#include "host/ElementData.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "host/StandInHost.h"

namespace dmhost {
namespace {

template <class T>
double Load(const unsigned char* data, uint64_t index) {
    T value;
    std::memcpy(&value, data + index * sizeof(T), sizeof(T));
    return static_cast<double>(value);
}

template <class T>
T ToInteger(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = std::round(value);  // half away from zero
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(rounded);
}

template <class T>
void Store(unsigned char* data, uint64_t index, T value) {
    std::memcpy(data + index * sizeof(T), &value, sizeof(T));
}

}  // namespace

uint32_t DataTypeSize(uint32_t dataType) {
    switch (dataType) {
        case kInt8Data:
        case kUInt8Data:
            return 1;
        case kInt16Data:
        case kUInt16Data:
            return 2;
        case kInt32Data:
        case kUInt32Data:
        case kReal4Data:
            return 4;
        case kReal8Data:
            return 8;
        default:
            return 0;
    }
}

double ReadElement(uint32_t dataType, const unsigned char* data, uint64_t index) {
    switch (dataType) {
        case kInt8Data:
            return Load<int8_t>(data, index);
        case kUInt8Data:
            return Load<uint8_t>(data, index);
        case kInt16Data:
            return Load<int16_t>(data, index);
        case kUInt16Data:
            return Load<uint16_t>(data, index);
        case kInt32Data:
            return Load<int32_t>(data, index);
        case kUInt32Data:
            return Load<uint32_t>(data, index);
        case kReal4Data:
            return Load<float>(data, index);
        case kReal8Data:
            return Load<double>(data, index);
        default:
            return 0.0;
    }
}

void WriteElement(uint32_t dataType, unsigned char* data, uint64_t index, double value) {
    switch (dataType) {
        case kInt8Data:
            return Store(data, index, ToInteger<int8_t>(value));
        case kUInt8Data:
            return Store(data, index, ToInteger<uint8_t>(value));
        case kInt16Data:
            return Store(data, index, ToInteger<int16_t>(value));
        case kUInt16Data:
            return Store(data, index, ToInteger<uint16_t>(value));
        case kInt32Data:
            return Store(data, index, ToInteger<int32_t>(value));
        case kUInt32Data:
            return Store(data, index, ToInteger<uint32_t>(value));
        case kReal4Data:
            return Store(data, index, static_cast<float>(value));
        case kReal8Data:
            return Store(data, index, value);
        default:
            return;
    }
}

std::vector<unsigned char> ConvertElements(uint32_t fromType,
                                           const std::vector<unsigned char>& data, uint32_t toType,
                                           uint64_t count) {
    std::vector<unsigned char> converted(count * DataTypeSize(toType));
    if (fromType == kReal8Data && toType == kReal4Data) {
        // New spectra are narrowed this way; one loop without a per-element dispatch.
        for (uint64_t i = 0; i < count; ++i)
            Store(converted.data(), i, static_cast<float>(Load<double>(data.data(), i)));
        return converted;
    }
    if (fromType == kReal4Data && toType == kReal8Data) {
        // Working copies of spectra are widened this way; the same values, one loop.
        for (uint64_t i = 0; i < count; ++i)
            Store(converted.data(), i, static_cast<double>(Load<float>(data.data(), i)));
        return converted;
    }
    for (uint64_t i = 0; i < count; ++i) {
        WriteElement(toType, converted.data(), i, ReadElement(fromType, data.data(), i));
    }
    return converted;
}

}  // namespace dmhost
