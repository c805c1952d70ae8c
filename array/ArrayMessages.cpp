#include "array/ArrayMessages.h"

namespace xray {

namespace ArrayMessages {
const char* const kDimensionOutOfRange =
    "failure: input dimention to extract from array is out of ranges";
const char* const kPositionOutOfRange =
    "failure: input position to extract from array is out of ranges";
const char* const kSubarrayOutOfRange = "failure: indices for new subarray are out of ranges";
}  // namespace ArrayMessages

}  // namespace xray
