#include "plugin/ScriptFunctionTable.h"

#include "plugin/ScriptFunctions.h"
#include "plugin/ScriptWork.h"

namespace Gatan {
namespace PlugIn {
namespace {

template <typename Function>
DM_EntryPoint EntryPoint(Function* function) {
    return reinterpret_cast<DM_EntryPoint>(function);
}

}  // namespace

const ScriptFunctionRow kScriptFunctionTable[kScriptFunctionCount] = {
    {"dm_string Zor_XrayUtilsVersion(void)", EntryPoint(Zor_XrayUtilsVersion)},
    {"ImageRef Zor_EMSAtoDM(dm_string)", EntryPoint(Zor_EMSAtoDM<ImportEMSASpectrum>)},
    {"dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, bool, double, ImageRef *)",
     EntryPoint(Zor_NiOx<EvaluateNiOx>)},
    {"dm_string Zor_NiOxIceC(ImageRef, ImageRef)", EntryPoint(Zor_NiOxIceC<EvaluateNiOxIceC>)},
    {"void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)",
     EntryPoint(Zor_SpectrumFilter<ApplySpectrumFilter>)},
    {"void XUtilsShellExec(dm_string)", EntryPoint(XUtilsShellExec)},
};

}  // namespace PlugIn
}  // namespace Gatan
