// The six script functions' signatures, in the order the module installs them, written
// out as the host's scripts know them.
#ifndef XRAY_TESTS_MODULE_SCRIPTFUNCTIONSIGNATURES_H
#define XRAY_TESTS_MODULE_SCRIPTFUNCTIONSIGNATURES_H

#include <string>
#include <vector>

namespace moduletest {

// The six script functions' signatures, in the order the module installs them.
inline const std::vector<std::string>& ScriptFunctionSignatures() {
    static const std::vector<std::string> signatures = {
        "dm_string Zor_XrayUtilsVersion(void)",
        "ImageRef Zor_EMSAtoDM(dm_string)",
        "dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, bool, double, "
        "ImageRef *)",
        "dm_string Zor_NiOxIceC(ImageRef, ImageRef)",
        "void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)",
        "void XUtilsShellExec(dm_string)",
    };
    return signatures;
}

}  // namespace moduletest

#endif  // XRAY_TESTS_MODULE_SCRIPTFUNCTIONSIGNATURES_H
