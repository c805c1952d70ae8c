#include "plugin/DMPlugInException.h"

#include "plugin/HostScope.h"
#include "plugin/HostStrings.h"

namespace Gatan {
namespace PlugIn {
namespace {

constexpr std::size_t kMessageBytes = 1024;
char sHostMessage[kMessageBytes];

}  // namespace

const char* dmplugin_exception::what() const noexcept {
    std::size_t count = 0;
    try {
        HostScope scope;
        HostContext* context = scope.context();
        if (context != nullptr && !fThrowable.IsNull()) {
            String message =
                String::TakeOver(context->table->GetThrowableMessage(context, fThrowable.get()));
            count = CopyStringToBuffer(message, sHostMessage, kMessageBytes - 1);
        }
    } catch (...) {
        count = 0;
    }
    sHostMessage[count] = '\0';
    return sHostMessage;
}

}  // namespace PlugIn
}  // namespace Gatan
