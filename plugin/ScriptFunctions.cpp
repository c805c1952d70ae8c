#include "plugin/ScriptFunctions.h"

#include "plugin/HostStrings.h"
#include "port/Platform.h"

namespace Gatan {
namespace PlugIn {

const std::string kXrayUtilsVersionText = "0.14";

void StoreOutputImage(const Image& produced, DM_Object* variable) {
    if (variable == nullptr || produced.get() == *variable)
        return;
    // The new reference is taken before the variable's old one is given back.
    Image stored(produced);
    Image previous = Image::TakeOver(*variable);
    *variable = stored.Detach();
}

DM_Object DM_CDECL Zor_XrayUtilsVersion() {
    String result;
    try {
        result = MakeString(kXrayUtilsVersionText);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return result.Detach();
}

void DM_CDECL XUtilsShellExec(DM_Object text) {
    try {
        String argument = String::FromBorrowed(text);
        const std::string characters = StringToText(argument);
        // An empty text names nothing for the shell to open.
        if (!characters.empty())
            xray::port::ShellOpen(characters);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
}

}  // namespace PlugIn
}  // namespace Gatan
