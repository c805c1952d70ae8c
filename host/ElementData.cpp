#include "host/ElementData.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

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

namespace {

template <class T>
void AppendElements(std::vector<double>& values, const unsigned char* data, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        values.push_back(Load<T>(data, i));
}

// Element i is read before it is written, and with a destination element no wider than
// the source one, no element not yet read lies below the one being written.
template <class From, class To>
void NarrowForward(unsigned char* data, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        Store(data, i, static_cast<To>(Load<From>(data, i)));
}

template <class From, class To>
void ConvertInto(unsigned char* to, const unsigned char* from, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        Store(to, i, static_cast<To>(Load<From>(from, i)));
}

}  // namespace

std::vector<double> ReadElements(uint32_t dataType, const unsigned char* data, uint64_t count) {
    std::vector<double> values;
    values.reserve(count);
    if (dataType == kReal4Data) {
        AppendElements<float>(values, data, count);
    } else if (dataType == kReal8Data) {
        AppendElements<double>(values, data, count);
    } else {
        for (uint64_t i = 0; i < count; ++i)
            values.push_back(ReadElement(dataType, data, i));
    }
    return values;
}

void ConvertElements(ElementBuffer& data, uint32_t fromType, uint32_t toType, uint64_t count) {
    const uint64_t fromSize = DataTypeSize(fromType);
    const uint64_t toSize = DataTypeSize(toType);
    if (toSize <= fromSize) {
        if (fromType == kReal8Data && toType == kReal4Data) {
            NarrowForward<double, float>(data.data(), count);  // new spectra are left so
        } else {
            for (uint64_t i = 0; i < count; ++i)
                WriteElement(toType, data.data(), i, ReadElement(fromType, data.data(), i));
        }
        data.Resize(count * toSize);
        return;
    }
    // Widening goes to a new block: growing in place could copy the old elements anyway, and
    // separate blocks let the conversion run forward, several elements at a time.
    ElementBuffer wider = ElementBuffer::Unfilled(count * toSize);
    if (fromType == kReal4Data && toType == kReal8Data) {
        ConvertInto<float, double>(wider.data(), data.data(), count);  // working copies
    } else {
        for (uint64_t i = 0; i < count; ++i)
            WriteElement(toType, wider.data(), i, ReadElement(fromType, data.data(), i));
    }
    data = std::move(wider);
}

}  // namespace dmhost
