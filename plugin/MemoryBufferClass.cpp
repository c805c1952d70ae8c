#include "plugin/MemoryBufferClass.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "plugin/ArgumentCells.h"
#include "plugin/ErrorManager.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"

namespace Gatan {
namespace PlugIn {
namespace MemoryBufferClass {

const char* const kLockMemorySignature =
    "threadsafe void *LockMemory( ScriptObject buffer, uint32 *size, void **lock_data )";
const char* const kUnlockMemorySignature =
    "threadsafe void UnlockMemory( ScriptObject buffer, void *lock_data )";

namespace {

// Room for a 64-bit address as "%p" writes it and the suffix.
char sClassName[64];
uint32_t sFirstClassIndex = 0;
uint32_t sSecondClassIndex = 0;

// The host hands back, as a 32-bit token, the object the creation entry point made. Only
// a 32-bit build can carry an address in it; elsewhere no object can be reached, which
// changes nothing here because the creation entry point never makes one.
PlugInMemoryBuffer* ObjectFromToken(uint32_t token) {
    if (sizeof(void*) != sizeof(uint32_t))
        return nullptr;
    return reinterpret_cast<PlugInMemoryBuffer*>(static_cast<uintptr_t>(token));
}

// Asks with the cached indices first; on a miss, looks the indices up, asks again with
// them and caches them.
PlugInMemoryBuffer* FindObject(DM_Object scriptObject) {
    uint32_t token = 0;
    bool found = ScriptObjectGetClassTokenByIndex(scriptObject, sFirstClassIndex, sSecondClassIndex,
                                                  false, token);
    if (!found) {
        uint32_t first = 0;
        uint32_t second = 0;
        String name = MakeString(sClassName, std::strlen(sClassName));
        if (ScriptObjectGetClassIndex(scriptObject, name, true, first, second)) {
            found = ScriptObjectGetClassTokenByIndex(scriptObject, first, second, true, token);
            sFirstClassIndex = first;
            sSecondClassIndex = second;
        }
    }
    PlugInMemoryBuffer* object = found ? ObjectFromToken(token) : nullptr;
    if (object == nullptr)
        RaiseErrorText("Attempt to dispatch off a null object.");
    return object;
}

}  // namespace

const char* FormatName(const void* mainObject) {
    std::snprintf(sClassName, sizeof sClassName, "%p_%s", mainObject, "pluginmemorybuffer");
    return sClassName;
}

const char* Name() {
    return sClassName;
}

void ResetClassIndices() {
    sFirstClassIndex = 0;
    sSecondClassIndex = 0;
}

void* DM_CDECL CreateObject() {
    return nullptr;
}

void DM_CDECL DestroyObject(void* object) {
    std::unique_ptr<PlugInMemoryBuffer> owned(static_cast<PlugInMemoryBuffer*>(object));
}

// Cells: the result, the buffer, the address of a size, the address of a lock-data value
// (either address may be null).
void DM_CDECL LockMemoryEntry(HostContext* context, void*, ArgumentCell* cells) {
    try {
        PlugInMemoryBuffer* object = FindObject(GetCell<DM_Object>(cells[1]));
        uint32_t size = 0;
        void* lockData = nullptr;
        PutCell(cells[0], object->LockMemory(&size, &lockData));
        if (uint32_t* sizeOut = GetCell<uint32_t*>(cells[2]))
            *sizeOut = size;
        if (void** lockDataOut = GetCell<void**>(cells[3]))
            *lockDataOut = lockData;
    } catch (...) {
        ReportCurrentExceptionToHost(context);
    }
}

// Cells: the buffer, the lock-data value.
void DM_CDECL UnlockMemoryEntry(HostContext* context, void*, ArgumentCell* cells) {
    try {
        FindObject(GetCell<DM_Object>(cells[0]))->UnlockMemory(GetCell<void*>(cells[1]));
    } catch (...) {
        ReportCurrentExceptionToHost(context);
    }
}

}  // namespace MemoryBufferClass
}  // namespace PlugIn
}  // namespace Gatan
