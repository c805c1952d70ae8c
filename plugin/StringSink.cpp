#include "plugin/StringSink.h"

#include <algorithm>
#include <cstring>

namespace Gatan {
namespace PlugIn {

void FixedBufferSink::Accept(const char* chars, std::size_t count) {
    std::size_t kept = std::min(count, fCapacity - fStored);
    if (kept > 0)
        std::memcpy(fBuffer + fStored, chars, kept);
    fStored += kept;
    fDropped += count - kept;
}

}  // namespace PlugIn
}  // namespace Gatan
