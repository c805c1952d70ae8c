#include "plugin/HostCall.h"

#include "plugin/ErrorManager.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostHandles.h"
#include "plugin/HostScope.h"

namespace Gatan {
namespace PlugIn {
namespace {

HostFunctionSlot* sUsedSlots = nullptr;

// Stores function (borrowed) in the slot, giving back what the slot held.
void Store(HostFunctionSlot& slot, DM_Object function) {
    Function held = Function::TakeOver(slot.fFunction);
    slot.fFunction = Function::FromBorrowed(function).Detach();
    if (!slot.fRegistered) {
        slot.fRegistered = true;
        slot.fNext = sUsedSlots;
        sUsedSlots = &slot;
    }
}

Function LookUp(const HostScope& scope, const char* signature) {
    HostInterface* host = scope.host();
    return Function::TakeOver(host->table->LookUpFunction(host, 0, signature));
}

int32_t Call(HostContext* context, DM_Object function, int32_t cellCount, ArgumentCell* cells) {
    return context->table->CallFunction(context, function, cellCount, cells);
}

// One more attempt with a freshly looked-up handle, which replaces the stale one only when
// it works. Without a fresh handle the call stays stale.
int32_t RetryStaleCall(const HostScope& scope, HostFunctionSlot& slot, int32_t cellCount,
                       ArgumentCell* cells, const char* signature) {
    Function fresh = LookUp(scope, signature);
    if (fresh.IsNull())
        return DM_CALL_STALE_FUNCTION;
    HostContext* context = scope.context();
    context->table->ClearException(context);
    int32_t status = Call(context, fresh.get(), cellCount, cells);
    if (status == DM_CALL_OK)
        Store(slot, fresh.get());
    return status;
}

}  // namespace

void CallHostFunction(HostFunctionSlot& slot, int32_t cellCount, ArgumentCell* cells,
                      const char* signature) {
    HostScope scope;
    HostContext* context = scope.context();
    if (context == nullptr)
        RaiseErrorText("The host gave no context for a call.");
    if (slot.fFunction == nullptr)
        Store(slot, LookUp(scope, signature).get());
    int32_t status = Call(context, slot.fFunction, cellCount, cells);
    if (status == DM_CALL_STALE_FUNCTION) {
        status = RetryStaleCall(scope, slot, cellCount, cells, signature);
    }
    if (status != DM_CALL_OK)
        RaisePendingHostException(context);
}

void ReleaseHostFunctionSlots() {
    for (HostFunctionSlot* slot = sUsedSlots; slot != nullptr; slot = slot->fNext) {
        Function::TakeOver(slot->fFunction);
        slot->fFunction = nullptr;
    }
}

int32_t FilledHostFunctionSlots() {
    int32_t filled = 0;
    for (HostFunctionSlot* slot = sUsedSlots; slot != nullptr; slot = slot->fNext) {
        if (slot->fFunction != nullptr)
            ++filled;
    }
    return filled;
}

}  // namespace PlugIn
}  // namespace Gatan
