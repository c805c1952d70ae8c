// ElementBuffer: the block of bytes behind a host image's elements.
//
// The block comes from the C allocator so that a new image costs no writing: calloc hands
// out zeroed memory, and for an image of any size that memory is fresh pages the system
// has already zeroed, so the elements are touched first by whoever fills them. Resize keeps
// the leading bytes and may move the block (realloc), which lets a change of data type
// convert in place. An empty buffer holds no block and its data() is null.
//
// Copying copies the bytes; moving leaves the source empty. Allocation failure throws
// std::bad_alloc. Not for concurrent use.
#ifndef XRAY_HOST_ELEMENTBUFFER_H
#define XRAY_HOST_ELEMENTBUFFER_H

#include <cstddef>

namespace dmhost {

class ElementBuffer {
  public:
    ElementBuffer() = default;
    ~ElementBuffer();
    ElementBuffer(const ElementBuffer& other);
    ElementBuffer(ElementBuffer&& other) noexcept;
    ElementBuffer& operator=(const ElementBuffer& other);
    ElementBuffer& operator=(ElementBuffer&& other) noexcept;

    // `size` bytes, all zero.
    static ElementBuffer Zeroed(size_t size);
    // `size` bytes of unspecified value, for a caller that writes them all.
    static ElementBuffer Unfilled(size_t size);

    // Keeps the first min(old, new) bytes; bytes beyond the old size are unspecified.
    void Resize(size_t size);

    unsigned char* data() { return fData; }
    const unsigned char* data() const { return fData; }
    size_t size() const { return fSize; }

    void swap(ElementBuffer& other) noexcept;

  private:
    unsigned char* fData = nullptr;
    size_t fSize = 0;
};

}  // namespace dmhost

#endif  // XRAY_HOST_ELEMENTBUFFER_H
