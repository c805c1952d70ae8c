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
    explicit Array1D(int32_t count) : fData(new T[count]), fCount(count) {}
    Array1D(int32_t count, const T& fill) : Array1D(count) {
        std::fill_n(fData.get(), count, fill);
    }

    Array1D(const Array1D& other) : Array1D(other.fCount) {
        std::copy_n(other.fData.get(), fCount, fData.get());
    }
    Array1D(Array1D&& other) noexcept : Array1D(0) { swap(other); }

    // Never reuses the old block, even when the counts agree.
    Array1D& operator=(const Array1D& other) {
        if (this != &other) {
            fData.reset();
            fCount = 0;
            fData.reset(new T[other.fCount]);
            fCount = other.fCount;
            std::copy_n(other.fData.get(), fCount, fData.get());
        }
        return *this;
    }
    Array1D& operator=(Array1D&& other) noexcept {
        swap(other);
        return *this;
    }

    void resize(int32_t count) {
        if (count == fCount)
            return;
        fData.reset();
        fCount = 0;
        fData.reset(new T[count]);
        fCount = count;
    }

    T& operator[](int32_t i) { return fData[i]; }
    const T& operator[](int32_t i) const { return fData[i]; }

    int32_t count() const { return fCount; }
    T* data() { return fData.get(); }
    const T* data() const { return fData.get(); }
    T* begin() { return fData.get(); }
    T* end() { return fData.get() + fCount; }
    const T* begin() const { return fData.get(); }
    const T* end() const { return fData.get() + fCount; }

    void swap(Array1D& other) noexcept {
        std::swap(fData, other.fData);
        std::swap(fCount, other.fCount);
    }

  private:
    std::unique_ptr<T[]> fData;
    int32_t fCount;
};

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAY1D_H
