// Array2D: an owning two-dimensional array stored as one contiguous row-major block.
//
// Row pointer i points at element (i, 0), i * ncols elements after the start of the block,
// so element (i, j) is row(i)[j]. The block is released before the row table. Element
// access is unchecked; copying copies the elements. Contents are uninitialised after
// construction and after resize() to other dimensions; resize() to the current
// dimensions keeps them.
#ifndef XRAY_ARRAY_ARRAY2D_H
#define XRAY_ARRAY_ARRAY2D_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

namespace xray {

template <typename T>
class Array2D {
  public:
    Array2D() : Array2D(0, 0) {}
    Array2D(int32_t nrows, int32_t ncols) { Allocate(nrows, ncols); }

    Array2D(const Array2D& other) : Array2D(other.fNrows, other.fNcols) {
        std::copy_n(other.fBlock.get(), size(), fBlock.get());
    }
    Array2D(Array2D&& other) noexcept { swap(other); }

    Array2D& operator=(const Array2D& other) {
        if (this != &other) {
            Release();
            Allocate(other.fNrows, other.fNcols);
            std::copy_n(other.fBlock.get(), size(), fBlock.get());
        }
        return *this;
    }
    Array2D& operator=(Array2D&& other) noexcept {
        swap(other);
        return *this;
    }

    void resize(int32_t nrows, int32_t ncols) {
        if (nrows == fNrows && ncols == fNcols)
            return;
        Release();
        Allocate(nrows, ncols);
    }

    T& operator()(int32_t i, int32_t j) { return fRows[i][j]; }
    const T& operator()(int32_t i, int32_t j) const { return fRows[i][j]; }
    T* row(int32_t i) { return fRows[i]; }
    const T* row(int32_t i) const { return fRows[i]; }

    int32_t nrows() const { return fNrows; }
    int32_t ncols() const { return fNcols; }
    int64_t size() const { return int64_t{fNrows} * fNcols; }

    void swap(Array2D& other) noexcept {
        std::swap(fRows, other.fRows);
        std::swap(fBlock, other.fBlock);
        std::swap(fNrows, other.fNrows);
        std::swap(fNcols, other.fNcols);
    }

  private:
    void Allocate(int32_t nrows, int32_t ncols) {
        std::unique_ptr<T*[]> rows(new T*[nrows]);
        fBlock.reset(new T[static_cast<size_t>(int64_t{nrows} * ncols)]);
        fRows = std::move(rows);
        // Plain pointers: a row pointer stored through fRows could otherwise be the block's
        // own pointer, which the compiler would then read anew for every row.
        T* const block = fBlock.get();
        T** const table = fRows.get();
        for (int32_t i = 0; i < nrows; ++i)
            table[i] = block + int64_t{i} * ncols;
        fNrows = nrows;
        fNcols = ncols;
    }
    void Release() {
        fBlock.reset();
        fRows.reset();
        fNrows = fNcols = 0;
    }

    // Declared before the block so that the block is destroyed first.
    std::unique_ptr<T*[]> fRows;
    std::unique_ptr<T[]> fBlock;
    int32_t fNrows = 0;
    int32_t fNcols = 0;
};

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAY2D_H
