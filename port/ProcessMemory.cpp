#include "port/ProcessMemory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace xray::port {

void KeepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 256 << 20);  // give back the heap's top only beyond 256 MiB
    mallopt(M_TOP_PAD, 16 << 20);          // and grow it 16 MiB at a time
#endif
}

}  // namespace xray::port
