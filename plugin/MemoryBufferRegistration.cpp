#include "plugin/MemoryBufferRegistration.h"

#include "interface/DMPlugInInterface.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/MemoryBufferClass.h"

namespace Gatan {
namespace PlugIn {
namespace {

void AddMethod(const char* signature, DM_CellsEntryPoint entry) {
    Function method = NewCallbackFunction(MakeString(signature), entry, DM_FUNCTION_CELLS);
    ClassAddMethod(MakeString(MemoryBufferClass::Name()), method);
}

}  // namespace

void MemoryBufferRegistration::Register(const void* mainObject) {
    MemoryBufferClass::FormatName(mainObject);
    MemoryBufferClass::ResetClassIndices();
    RegisterClass(MakeString(MemoryBufferClass::Name()), MakeString(""),
                  MemoryBufferClass::CreateObject, MemoryBufferClass::DestroyObject, 0);
    AddMethod(MemoryBufferClass::kLockMemorySignature, MemoryBufferClass::LockMemoryEntry);
    AddMethod(MemoryBufferClass::kUnlockMemorySignature, MemoryBufferClass::UnlockMemoryEntry);
}

void MemoryBufferRegistration::Unregister() {
    UnregisterClass(MakeString(MemoryBufferClass::Name()));
}

}  // namespace PlugIn
}  // namespace Gatan
