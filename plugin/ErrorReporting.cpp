#include "plugin/ErrorReporting.h"

#include <cstring>

#include "plugin/DMPlugInException.h"
#include "plugin/HostHandles.h"
#include "plugin/HostScope.h"

namespace Gatan {
namespace PlugIn {
namespace {

constexpr std::size_t kMessageBytes = 256;
char sStandardText[kMessageBytes];

Throwable MakeThrowable(ErrorPair pair) {
    HostScope scope;
    HostContext* context = scope.context();
    if (context == nullptr)
        return Throwable();
    return Throwable::TakeOver(context->table->MakeThrowable(context, pair.code, pair.detail));
}

void SetPending(HostContext* context, const Throwable& throwable) {
    if (context != nullptr) {
        context->table->SetException(context, throwable.get());
        return;
    }
    HostScope scope;
    if (scope.context() != nullptr)
        scope.context()->table->SetException(scope.context(), throwable.get());
}

Throwable ThrowableFor(const std::exception& exception) {
    if (auto* hostError = dynamic_cast<const dmplugin_exception*>(&exception)) {
        // Only ever thrown with a Throwable; an empty one still must not reach the host.
        if (!hostError->GetThrowable().IsNull())
            return hostError->GetThrowable();
        return MakeThrowable(ErrorPair{DM_ERROR_PLUGIN_MESSAGE, 0});
    }
    return MakeThrowable(GetErrorCodes(exception));
}

}  // namespace

ErrorPair GetErrorCodes(const std::exception& exception) {
    if (auto* gatan = dynamic_cast<const gatan_exception*>(&exception)) {
        return gatan->GetErrorCodes();
    }
    const char* text = exception.what();
    std::size_t length = std::strlen(text);
    if (length > kMessageBytes - 1)
        length = kMessageBytes - 1;
    std::memcpy(sStandardText, text, length);
    sStandardText[length] = '\0';
    return ErrorPair{DM_ERROR_MESSAGE, reinterpret_cast<DM_ErrorDetail>(sStandardText)};
}

void ReportExceptionToHost(HostContext* context, const std::exception& exception) {
    SetPending(context, ThrowableFor(exception));
}

void ReportUnknownExceptionToHost(HostContext* context) {
    SetPending(context, MakeThrowable(ErrorPair{DM_ERROR_PLUGIN_MESSAGE, 0}));
}

void ReportCurrentExceptionToHost(HostContext* context) noexcept {
    try {
        throw;
    } catch (const std::exception& exception) {
        try {
            ReportExceptionToHost(context, exception);
        } catch (...) {
        }
    } catch (...) {
        try {
            ReportUnknownExceptionToHost(context);
        } catch (...) {
        }
    }
}

void RaisePendingHostException(HostContext* context) {
    Throwable pending = Throwable::TakeOver(context->table->TakeException(context));
    if (pending.IsSameObject(nullptr))
        return;
    context->table->ClearException(context);
    throw dmplugin_exception(pending);
}

}  // namespace PlugIn
}  // namespace Gatan
