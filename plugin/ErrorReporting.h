// ErrorReporting: exceptions into host Throwables and back.
//
// ReportExceptionToHost and ReportUnknownExceptionToHost set a Throwable as the pending
// exception of the given context (or, given none, of a context of their own); a host
// error caught as dmplugin_exception goes back as the same Throwable. They are meant for
// catch blocks at the module's boundary and throw only when memory runs out.
// RaisePendingHostException turns the host's pending Throwable into a dmplugin_exception.
#ifndef XRAY_PLUGIN_ERRORREPORTING_H
#define XRAY_PLUGIN_ERRORREPORTING_H

#include <exception>

#include "interface/DMPlugInInterface.h"
#include "plugin/GatanException.h"

namespace Gatan {
namespace PlugIn {

// The pair of any exception: a gatan_exception's own, otherwise 28802 with at most 255
// characters of what() in a module-level buffer of 256 bytes.
ErrorPair GetErrorCodes(const std::exception& exception);

void ReportExceptionToHost(HostContext* context, const std::exception& exception);
void ReportUnknownExceptionToHost(HostContext* context);

// For catch-all blocks at the boundary: reports the exception being handled with the two
// functions above and swallows anything they throw themselves.
void ReportCurrentExceptionToHost(HostContext* context) noexcept;

// Takes the context's pending Throwable: none, and this returns; otherwise clears the
// pending exception and throws a dmplugin_exception holding the Throwable.
void RaisePendingHostException(HostContext* context);

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_ERRORREPORTING_H
