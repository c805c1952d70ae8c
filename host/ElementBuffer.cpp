#include "host/ElementBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace dmhost {

ElementBuffer::~ElementBuffer() {
    std::free(fData);
}

ElementBuffer::ElementBuffer(const ElementBuffer& other) {
    Resize(other.fSize);
    if (fSize != 0)
        std::memcpy(fData, other.fData, fSize);
}

ElementBuffer::ElementBuffer(ElementBuffer&& other) noexcept {
    swap(other);
}

ElementBuffer& ElementBuffer::operator=(const ElementBuffer& other) {
    if (this != &other) {
        ElementBuffer copy(other);
        swap(copy);
    }
    return *this;
}

ElementBuffer& ElementBuffer::operator=(ElementBuffer&& other) noexcept {
    ElementBuffer taken(std::move(other));
    swap(taken);
    return *this;
}

ElementBuffer ElementBuffer::Zeroed(size_t size) {
    ElementBuffer buffer;
    if (size == 0)
        return buffer;
    buffer.fData = static_cast<unsigned char*>(std::calloc(size, 1));
    if (buffer.fData == nullptr)
        throw std::bad_alloc();
    buffer.fSize = size;
    return buffer;
}

ElementBuffer ElementBuffer::Unfilled(size_t size) {
    ElementBuffer buffer;
    buffer.Resize(size);
    return buffer;
}

void ElementBuffer::Resize(size_t size) {
    if (size == fSize)
        return;
    if (size == 0) {
        std::free(fData);
        fData = nullptr;
        fSize = 0;
        return;
    }
    void* block = std::realloc(fData, size);
    if (block == nullptr)
        throw std::bad_alloc();  // the old block is still held, unchanged
    fData = static_cast<unsigned char*>(block);
    fSize = size;
}

void ElementBuffer::swap(ElementBuffer& other) noexcept {
    std::swap(fData, other.fData);
    std::swap(fSize, other.fSize);
}

}  // namespace dmhost
