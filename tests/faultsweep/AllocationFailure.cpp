#include "tests/faultsweep/AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace faultsweep {
namespace {

bool armed = false;
bool reached = false;
int64_t countdown = 0;

void* Allocate(std::size_t size) {
    if (armed && --countdown == 0) {
        armed = false;
        reached = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

}  // namespace

void FailAllocation(int64_t n) {
    reached = false;
    countdown = n;
    armed = n > 0;
}

bool Disarm() {
    armed = false;
    return reached;
}

}  // namespace faultsweep

void* operator new(std::size_t size) {
    return faultsweep::Allocate(size);
}
void* operator new[](std::size_t size) {
    return faultsweep::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return faultsweep::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return faultsweep::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
