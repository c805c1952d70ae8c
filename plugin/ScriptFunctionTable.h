// ScriptFunctionTable: the module's script functions, in the order the main object installs
// them, each with its signature text and entry point.
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
    DM_EntryPoint entry;
};

constexpr std::size_t kScriptFunctionCount = 6;
extern const ScriptFunctionRow kScriptFunctionTable[kScriptFunctionCount];

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_SCRIPTFUNCTIONTABLE_H
