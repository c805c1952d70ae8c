// ForEachInParallel: work(i) for every i in [0, count), spread over the machine's cores.
//
// Each index is worked on exactly once, by one of up to std::thread::hardware_concurrency()
// threads (the calling thread among them); `work` must be safe to call from several threads
// at once for different indices. Returns when every index is done. When a call throws, the
// indices not yet started are skipped and the first exception is rethrown here.
#ifndef XRAY_CLI_PARALLEL_H
#define XRAY_CLI_PARALLEL_H

#include <cstddef>
#include <functional>

namespace xrayutils {

void ForEachInParallel(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace xrayutils

#endif  // XRAY_CLI_PARALLEL_H
