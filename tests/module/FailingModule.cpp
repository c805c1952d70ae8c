// A stand-in module for the xrayutils tests: its Zor_XrayUtilsVersion writes a line to the
// Results window and then fails with a message, as a failing script function would.
#include <cstring>

#include "interface/DMPlugInInterface.h"

namespace {

const char* const kMessage = "the version is not available";
const char* const kResultsLine = "looking for the version\n";

HostInterface* linked = nullptr;
DM_Object installed = nullptr;

void WriteResults(HostContext* context) {
    DM_Object result = linked->table->LookUpFunction(linked, 0, "void Result( dm_string )");
    ArgumentCell cell;
    std::memset(&cell, 0, sizeof cell);
    cell.object = context->table->NewString(context, 0, kResultsLine, std::strlen(kResultsLine));
    context->table->CallFunction(context, result, 1, &cell);
    ClassInterface* strings = linked->table->GetClass(linked, 0, "Gatan:DigitalMicrograph:String");
    strings->table->ReleaseObject(strings, cell.object);
    strings->table->ReleaseClass(strings);
    ClassInterface* functions =
        linked->table->GetClass(linked, 0, "Gatan:DigitalMicrograph:Function");
    functions->table->ReleaseObject(functions, result);
    functions->table->ReleaseClass(functions);
}

DM_Object DM_CDECL FailingVersion() {
    HostContext* context = linked->table->GetContext(linked);
    WriteResults(context);
    DM_Object error = context->table->MakeThrowable(context, DM_ERROR_MESSAGE,
                                                    reinterpret_cast<DM_ErrorDetail>(kMessage));
    context->table->SetException(context, error);
    ClassInterface* throwables =
        linked->table->GetClass(linked, 0, "Gatan:DigitalMicrograph:Throwable");
    throwables->table->ReleaseObject(throwables, error);
    throwables->table->ReleaseClass(throwables);
    context->table->Release(context);
    return nullptr;
}

}  // namespace

extern "C" {

DM_EXPORT int32_t DM_CDECL DMPlugIn_GetVersion(void) {
    return 2;
}

DM_EXPORT void DM_CDECL DMPlugIn_Link_2(HostInterface* host) {
    host->table->AddReference(host);
    linked = host;
}

DM_EXPORT void DM_CDECL PlugInStartup(void) {
    installed = linked->table->InstallFunction(linked, 0, 0, "dm_string Zor_XrayUtilsVersion(void)",
                                               DM_FUNCTION_PLAIN,
                                               reinterpret_cast<DM_EntryPoint>(FailingVersion));
}

DM_EXPORT void DM_CDECL PlugInRun(void) {}

DM_EXPORT void DM_CDECL PlugInCleanup(void) {}

DM_EXPORT void DM_CDECL PlugInShutdown(void) {
    linked->table->UninstallFunction(linked, installed);
    ClassInterface* functions =
        linked->table->GetClass(linked, 0, "Gatan:DigitalMicrograph:Function");
    functions->table->ReleaseObject(functions, installed);
    functions->table->ReleaseClass(functions);
    linked->table->Release(linked);
    linked = nullptr;
}

}  // extern "C"
