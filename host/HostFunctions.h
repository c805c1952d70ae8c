// The host script functions the stand-in implements, grouped by what they work on. Each
// group lists its signatures (exact texts, as the module looks them up) with the function
// that decodes the cells, does the work and encodes the result.
#ifndef XRAY_HOST_HOSTFUNCTIONS_H
#define XRAY_HOST_HOSTFUNCTIONS_H

#include <vector>

#include "host/HostState.h"

namespace dmhost {

std::vector<BuiltinFunction> ImageFunctions();
std::vector<BuiltinFunction> ImageDataFunctions();
std::vector<BuiltinFunction> TagFunctions();
std::vector<BuiltinFunction> ServiceFunctions();

// Hands an object to the caller with one new reference.
inline HostObject* GiveOut(HostState& host, HostObject* object) {
    host.store().AddExternal(object);
    return object;
}

}  // namespace dmhost

#endif  // XRAY_HOST_HOSTFUNCTIONS_H
