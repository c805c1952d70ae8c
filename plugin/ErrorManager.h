// ErrorManager: raising and formatting errors identified by an error pair.
//
// One error manager is current at a time (a module-level pointer, null when none is
// installed); the module installs its own while its library data exists. The Raise
// functions never return: they throw Gatan::std_gatan_exception (or whatever the current
// manager's RaiseError throws). RaiseErrorText and RaiseMessageText copy at most 255
// characters of the text into their own module-level buffer of 256 bytes, whose address
// becomes the detail; the buffer is overwritten by the next raise of the same kind.
//
// Unguarded: the host calls the module from one thread at a time.
#ifndef XRAY_PLUGIN_ERRORMANAGER_H
#define XRAY_PLUGIN_ERRORMANAGER_H

#include <cstdint>
#include <exception>

#include "interface/DMPlugInInterface.h"
#include "plugin/GatanException.h"
#include "plugin/StringSink.h"

namespace Gatan {

class ErrorManager {
  public:
    virtual ~ErrorManager() = default;
    // Throws std_gatan_exception with the pair.
    virtual void RaiseError(int32_t code, DM_ErrorDetail detail);
    // Reports an exception without throwing; this manager does nothing.
    virtual void ReportError(const std::exception& exception);
    // Shows the pair to the user; this manager does nothing.
    virtual void DisplayError(int32_t code, DM_ErrorDetail detail, int32_t alertKind);
    // Kept in its place so later operations keep theirs; does nothing.
    virtual void ReservedOperation(void* argument);
    // The text of a pair: the message at the detail address for 28802 and 28803 (the
    // unspecified-error text when 0), "An error (code,detail) has occurred." otherwise.
    virtual bool FormatErrorMessage(int32_t code, DM_ErrorDetail detail, PlugIn::StringSink& sink);
};

ErrorManager* GetErrorManager();
// Makes manager current (null allowed) and returns the one that was.
ErrorManager* SetErrorManager(ErrorManager* manager);

[[noreturn]] void RaiseError(int32_t code, DM_ErrorDetail detail);
[[noreturn]] void RaiseErrorText(const char* text);
[[noreturn]] void RaiseMessageText(const char* text);

// Formats "File "source", Line n: Assertion "expression" Failed!" into a module-level
// buffer, then: modes 0 and 1 raise (28803, text); mode 2 hands that error to the current
// manager's ReportError and returns; other modes return.
void AssertionFailed(const char* source, int32_t line, const char* expression, int32_t mode);

}  // namespace Gatan

#endif  // XRAY_PLUGIN_ERRORMANAGER_H
