// AllocationFailure: makes one chosen allocation of the process fail with std::bad_alloc.
//
// The test program replaces the global operator new, nothrow forms included (which answer
// null instead of throwing); a module it loads at run time allocates through the same
// operators. While armed, allocations are counted and the n-th fails; any later ones
// succeed again. Not for concurrent use.
#ifndef XRAY_TESTS_FAULTSWEEP_ALLOCATIONFAILURE_H
#define XRAY_TESTS_FAULTSWEEP_ALLOCATIONFAILURE_H

#include <cstdint>

namespace faultsweep {

// From now on the n-th allocation (1 = the next) fails.
void FailAllocation(int64_t n);
// Stops counting. Returns whether the chosen allocation was reached (and failed).
bool Disarm();

// Arms for the length of a scope and disarms at its end.
class FailingAllocation {
  public:
    explicit FailingAllocation(int64_t n) { FailAllocation(n); }
    ~FailingAllocation() { Disarm(); }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
};

}  // namespace faultsweep

#endif  // XRAY_TESTS_FAULTSWEEP_ALLOCATIONFAILURE_H
