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

    Array2D(const Array2D& other) : Array2D(other.nrows_, other.ncols_) {
        std::copy_n(other.block_.get(), size(), block_.get());
    }
    Array2D(Array2D&& other) noexcept { swap(other); }

    Array2D& operator=(const Array2D& other) {
        if (this != &other) {
            Release();
            Allocate(other.nrows_, other.ncols_);
            std::copy_n(other.block_.get(), size(), block_.get());
        }
        return *this;
    }
    Array2D& operator=(Array2D&& other) noexcept {
        swap(other);
        return *this;
    }

    void resize(int32_t nrows, int32_t ncols) {
        if (nrows == nrows_ && ncols == ncols_)
            return;
        Release();
        Allocate(nrows, ncols);
    }

    T& operator()(int32_t i, int32_t j) { return rows_[i][j]; }
    const T& operator()(int32_t i, int32_t j) const { return rows_[i][j]; }
    T* row(int32_t i) { return rows_[i]; }
    const T* row(int32_t i) const { return rows_[i]; }

    int32_t nrows() const { return nrows_; }
    int32_t ncols() const { return ncols_; }
    int64_t size() const { return int64_t{nrows_} * ncols_; }

    void swap(Array2D& other) noexcept {
        std::swap(rows_, other.rows_);
        std::swap(block_, other.block_);
        std::swap(nrows_, other.nrows_);
        std::swap(ncols_, other.ncols_);
    }

  private:
    void Allocate(int32_t nrows, int32_t ncols) {
        std::unique_ptr<T*[]> rows(new T*[nrows]);
        block_.reset(new T[static_cast<size_t>(int64_t{nrows} * ncols)]);
        rows_ = std::move(rows);
        for (int32_t i = 0; i < nrows; ++i)
            rows_[i] = block_.get() + int64_t{i} * ncols;
        nrows_ = nrows;
        ncols_ = ncols;
    }
    void Release() {
        block_.reset();
        rows_.reset();
        nrows_ = ncols_ = 0;
    }

    // Declared before the block so that the block is destroyed first.
    std::unique_ptr<T*[]> rows_;
    std::unique_ptr<T[]> block_;
    int32_t nrows_ = 0;
    int32_t ncols_ = 0;
};

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAY2D_H
