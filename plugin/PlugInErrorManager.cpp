#include "plugin/PlugInErrorManager.h"

#include "plugin/HostHandles.h"
#include "plugin/HostScope.h"
#include "plugin/HostStrings.h"
#include "plugin/PlugInUtility.h"

namespace Gatan {
namespace PlugIn {
namespace {

constexpr std::size_t kAlertBytes = 256;
char sAlertText[kAlertBytes];

}  // namespace

void PlugInErrorManager::DisplayError(int32_t code, DM_ErrorDetail detail, int32_t alertKind) {
    std::size_t count = GetHostErrorText(code, detail, sAlertText, kAlertBytes - 1);
    sAlertText[count] = '\0';
    GetCallbacks().show_alert(sAlertText, alertKind);
}

std::size_t PlugInErrorManager::GetHostErrorText(int32_t code, DM_ErrorDetail detail, char* buffer,
                                                 std::size_t capacity) {
    HostScope scope;
    HostContext* context = scope.context();
    if (context == nullptr)
        return 0;
    Throwable throwable = Throwable::TakeOver(context->table->MakeThrowable(context, code, detail));
    String message =
        String::TakeOver(context->table->GetThrowableMessage(context, throwable.get()));
    return CopyStringToBuffer(message, buffer, capacity);
}

}  // namespace PlugIn
}  // namespace Gatan
