// Element storage of host images: reading and writing one element of a supported data type
// as a double, and converting a whole buffer from one type to another.
//
// Writing to an integer type rounds half away from zero and clamps to the type's range;
// not-a-number becomes 0. Reals are stored as they come (a 4-byte real rounds to nearest).
#ifndef XRAY_HOST_ELEMENTDATA_H
#define XRAY_HOST_ELEMENTDATA_H

#include <cstdint>
#include <vector>

#include "host/ElementBuffer.h"

namespace dmhost {

double ReadElement(uint32_t dataType, const unsigned char* data, uint64_t index);
void WriteElement(uint32_t dataType, unsigned char* data, uint64_t index, double value);

// All `count` elements as doubles.
std::vector<double> ReadElements(uint32_t dataType, const unsigned char* data, uint64_t count);

// Converts the `count` elements of `data` from `fromType` to `toType`. Narrowing (to an
// element no wider) converts in place and then shrinks the block, so it touches no fresh
// memory and never holds two copies; widening converts into a new block.
void ConvertElements(ElementBuffer& data, uint32_t fromType, uint32_t toType, uint64_t count);

}  // namespace dmhost

#endif  // XRAY_HOST_ELEMENTDATA_H
