// Array1D: an owning, contiguous one-dimensional array.
//
// The array owns its block and releases it when destroyed. Copying copies the elements;
// nothing is shared. Element access is unchecked: callers size their arrays themselves
// (from channel counts and window bounds). The block comes from the standard array
// allocator, so an exhausted heap surfaces as std::bad_alloc, unchanged.
//
// Contents are left uninitialised by the count-only constructor and by resize() to a
// new count; resize() to the current count keeps them.
#ifndef XRAY_ARRAY_ARRAY1D_H
#define XRAY_ARRAY_ARRAY1D_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

namespace xray {

template <typename T>
class Array1D {
  public:
    Array1D() : Array1D(0) {}
    explicit Array1D(int32_t count) : data_(new T[count]), count_(count) {}
    Array1D(int32_t count, const T& fill) : Array1D(count) {
        std::fill_n(data_.get(), count, fill);
    }

    Array1D(const Array1D& other) : Array1D(other.count_) {
        std::copy_n(other.data_.get(), count_, data_.get());
    }
    Array1D(Array1D&& other) noexcept : Array1D(0) { swap(other); }

    // Never reuses the old block, even when the counts agree.
    Array1D& operator=(const Array1D& other) {
        if (this != &other) {
            data_.reset();
            count_ = 0;
            data_.reset(new T[other.count_]);
            count_ = other.count_;
            std::copy_n(other.data_.get(), count_, data_.get());
        }
        return *this;
    }
    Array1D& operator=(Array1D&& other) noexcept {
        swap(other);
        return *this;
    }

    void resize(int32_t count) {
        if (count == count_)
            return;
        data_.reset();
        count_ = 0;
        data_.reset(new T[count]);
        count_ = count;
    }

    T& operator[](int32_t i) { return data_[i]; }
    const T& operator[](int32_t i) const { return data_[i]; }

    int32_t count() const { return count_; }
    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    T* begin() { return data_.get(); }
    T* end() { return data_.get() + count_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + count_; }

    void swap(Array1D& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(count_, other.count_);
    }

  private:
    std::unique_ptr<T[]> data_;
    int32_t count_;
};

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAY1D_H
