// ScriptFunctionTable: the module's script functions, in the order the main object installs
// them, each with its signature text and entry point. A row whose work is not part of the
// module yet has no entry point and is not installed.
//
// The table is fixed when the module is built; nothing here throws.
#ifndef XRAY_PLUGIN_SCRIPTFUNCTIONTABLE_H
#define XRAY_PLUGIN_SCRIPTFUNCTIONTABLE_H

#include <cstddef>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

struct ScriptFunctionRow {
    const char* signature;
    DM_EntryPoint entry;  // null while the function's work is not built
};

constexpr std::size_t kScriptFunctionCount = 6;
extern const ScriptFunctionRow kScriptFunctionTable[kScriptFunctionCount];

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_SCRIPTFUNCTIONTABLE_H
