#include "plugin/DMZorlab.h"

#include "plugin/ScriptFunctionTable.h"

void DMZorlab::Startup() {
    for (const Gatan::PlugIn::ScriptFunctionRow& row : Gatan::PlugIn::kScriptFunctionTable)
        AddFunction(row.signature, row.entry);
}
