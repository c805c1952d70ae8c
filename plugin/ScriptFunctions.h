// ScriptFunctions: the entry points of the module's six script functions, as the host calls
// them (flags 3: the script arguments in declaration order, handles as raw pointers, an
// output argument as the address of the script's variable, a handle result carrying one
// reference for the caller).
//
// Each is a thin wrapper with the same steps: it holds its own reference on every handle
// argument for the length of the call (an argument may be null: it is passed on as an empty
// handle), calls the work, hands the result back with exactly one reference, stores an
// output image in the script's variable (StoreOutputImage) and gives back every reference
// of its own. No exception leaves a wrapper: a failure becomes the host's pending exception
// and the wrapper returns what its result holder holds (null when the work failed before
// producing it), leaving the output variable as it was.
//
// Zor_XrayUtilsVersion and XUtilsShellExec do their work here. The other four are templates
// over their work function (ScriptWork.h), so that a wrapper exists in the module only once
// the script-function table names it with its work.
#ifndef XRAY_PLUGIN_SCRIPTFUNCTIONS_H
#define XRAY_PLUGIN_SCRIPTFUNCTIONS_H

#include <cstdint>
#include <string>

#include "interface/DMPlugInInterface.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostHandles.h"

namespace Gatan {
namespace PlugIn {

// The module's version text, "0.14".
extern const std::string kXrayUtilsVersionText;

// The output step: when `produced` is another object than the one in `*variable`, the
// variable ends holding `produced` with one reference of its own and its old image (if any)
// loses the variable's reference; an empty `produced` empties the variable. A null
// `variable` (no variable given) stores nothing.
void StoreOutputImage(const Image& produced, DM_Object* variable);

// "dm_string Zor_XrayUtilsVersion(void)": a new String holding the version text.
DM_Object DM_CDECL Zor_XrayUtilsVersion();

// "void XUtilsShellExec(dm_string)": hands the text to the desktop shell; whether the shell
// can open it is not reported.
void DM_CDECL XUtilsShellExec(DM_Object text);

// "ImageRef Zor_EMSAtoDM(dm_string)"
template <auto Work>
DM_Object DM_CDECL Zor_EMSAtoDM(DM_Object path) {
    Image result;
    try {
        result = Work(String::FromBorrowed(path));
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return result.Detach();
}

// "dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, bool, double, ImageRef *)"
template <auto Work>
DM_Object DM_CDECL Zor_NiOx(DM_Object spectrum, bool energyResolution, bool inverseHoleCount,
                            bool fioriPb, bool totalPb, bool moKl, bool solidAngle,
                            bool detectorEfficiency, double filmThickness, DM_Object* fitImage) {
    String result;
    try {
        Image output;
        {
            Image spectrumArgument = Image::FromBorrowed(spectrum);
            result = Work(spectrumArgument, energyResolution, inverseHoleCount, fioriPb, totalPb,
                          moKl, solidAngle, detectorEfficiency, filmThickness, output);
        }
        StoreOutputImage(output, fitImage);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return result.Detach();
}

// "dm_string Zor_NiOxIceC(ImageRef, ImageRef)"
template <auto Work>
DM_Object DM_CDECL Zor_NiOxIceC(DM_Object spectrum1, DM_Object spectrum2) {
    String result;
    try {
        Image first = Image::FromBorrowed(spectrum1);
        Image second = Image::FromBorrowed(spectrum2);
        result = Work(first, second);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return result.Detach();
}

// "void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)"
template <auto Work>
void DM_CDECL Zor_SpectrumFilter(DM_Object spectrum, uint32_t filterType, DM_Object* filtered) {
    try {
        Image output;
        {
            Image spectrumArgument = Image::FromBorrowed(spectrum);
            Work(spectrumArgument, filterType, output);
        }
        StoreOutputImage(output, filtered);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
}

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_SCRIPTFUNCTIONS_H
