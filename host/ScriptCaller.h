// ScriptCaller: calls a module's script function (installed with flags 3) as an ordinary
// function of the C type its signature implies, the way the host's script interpreter does.
//
// The call shapes the host knows, by shape key (see Signature::ShapeKey) and C type, with
// H = DM_Object, O = DM_Object*, B = bool, D = double, U = uint32_t, L = int32_t:
//   "H:"            DM_Object f(void)
//   "H:H"           DM_Object f(DM_Object)
//   "H:HH"          DM_Object f(DM_Object, DM_Object)
//   "H:HHH"         DM_Object f(DM_Object, DM_Object, DM_Object)
//   "H:HD", "H:HU", "H:HL"
//   "H:HBBBBBBBDO"  DM_Object f(DM_Object, bool x7, double, DM_Object*)
//   "V:", "V:H", "V:HH", "V:HUO" (void f(DM_Object, uint32_t, DM_Object*)), "V:HO"
// All are called with DM_CDECL. A signature of any other shape is refused at installation.
#ifndef XRAY_HOST_SCRIPTCALLER_H
#define XRAY_HOST_SCRIPTCALLER_H

#include <cstdint>
#include <vector>

#include "host/Signature.h"
#include "interface/DMPlugInInterface.h"

namespace dmhost {

// One argument in the form the entry point takes it.
union CallArgument {
    DM_Object handle;
    DM_Object* output;
    bool flag;
    double real;
    uint32_t u32;
    int32_t i32;
};

bool HasCallShape(const Signature& signature);

// Calls `entry` with `arguments` (one per parameter, already converted) and returns its
// handle result, or null for a void function. REQUIRES: HasCallShape(signature).
DM_Object CallWithShape(const Signature& signature, DM_EntryPoint entry,
                        const std::vector<CallArgument>& arguments);

}  // namespace dmhost

#endif  // XRAY_HOST_SCRIPTCALLER_H
