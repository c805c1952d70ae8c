// Element storage of host images: reading and writing one element of a supported data type
// as a double, and converting a whole buffer from one type to another.
//
// Writing to an integer type rounds half away from zero and clamps to the type's range;
// not-a-number becomes 0. Reals are stored as they come (a 4-byte real rounds to nearest).
#ifndef XRAY_HOST_ELEMENTDATA_H
#define XRAY_HOST_ELEMENTDATA_H

#include <cstdint>
#include <vector>

namespace dmhost {

double ReadElement(uint32_t dataType, const unsigned char* data, uint64_t index);
void WriteElement(uint32_t dataType, unsigned char* data, uint64_t index, double value);

// A new buffer of `count` elements of `toType` holding the values of `data` (of `fromType`).
std::vector<unsigned char> ConvertElements(uint32_t fromType,
                                           const std::vector<unsigned char>& data, uint32_t toType,
                                           uint64_t count);

}  // namespace dmhost

#endif  // XRAY_HOST_ELEMENTDATA_H
