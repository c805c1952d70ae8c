// dmplugin_exception: a host error travelling through the module.
//
// Holds the host's Throwable (one reference; copies take one more) so that, reported back
// at a script-function boundary, the host sees the very Throwable it raised. what() asks
// the host for the Throwable's message and keeps at most 1023 characters in one
// module-level buffer of 1024 bytes, valid until the next what() of any
// dmplugin_exception; an empty handle gives an empty text.
#ifndef XRAY_PLUGIN_DMPLUGINEXCEPTION_H
#define XRAY_PLUGIN_DMPLUGINEXCEPTION_H

#include <exception>

#include "plugin/HostHandles.h"

namespace Gatan {
namespace PlugIn {

class dmplugin_exception : public std::exception {
  public:
    explicit dmplugin_exception(const Throwable& throwable) : fThrowable(throwable) {}
    const char* what() const noexcept override;
    const Throwable& GetThrowable() const { return fThrowable; }

  private:
    Throwable fThrowable;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_DMPLUGINEXCEPTION_H
