// Checked operations on arrays: copying a range out of an Array1D and extracting one
// row or column of an Array2D. Each checks its indices and throws ArrayError with the
// array message text when they lie outside the source; the result is a new array.
#ifndef XRAY_ARRAY_ARRAYOPS_H
#define XRAY_ARRAY_ARRAYOPS_H

#include <algorithm>
#include <cstdint>

#include "array/Array1D.h"
#include "array/Array2D.h"
#include "array/ArrayMessages.h"

namespace xray {

// Elements first..last of source, both inclusive.
// REQUIRES: 0 <= first <= last < source.count(), else ArrayError.
template <typename T>
Array1D<T> SubArray(const Array1D<T>& source, int32_t first, int32_t last) {
    if (first < 0 || last < first || last >= source.count())
        throw ArrayError(ArrayMessages::kSubarrayOutOfRange);
    Array1D<T> result(last - first + 1);
    std::copy(source.data() + first, source.data() + last + 1, result.data());
    return result;
}

// The elements of source whose index along dimension `dim` (0: rows, 1: columns) is
// `position`: Extract(a, 1, j) is column j, Extract(a, 0, i) is row i.
template <typename T>
Array1D<T> Extract(const Array2D<T>& source, int dim, int32_t position) {
    if (dim != 0 && dim != 1)
        throw ArrayError(ArrayMessages::kDimensionOutOfRange);
    const int32_t size = dim == 0 ? source.nrows() : source.ncols();
    if (position < 0 || position >= size)
        throw ArrayError(ArrayMessages::kPositionOutOfRange);
    const int32_t n = dim == 0 ? source.ncols() : source.nrows();
    Array1D<T> result(n);
    for (int32_t k = 0; k < n; ++k)
        result[k] = dim == 0 ? source(position, k) : source(k, position);
    return result;
}

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAYOPS_H
