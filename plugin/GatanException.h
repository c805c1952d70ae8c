// GatanException: the exceptions that carry an error pair (code, detail).
//
// For codes 28802 and 28803 the detail is the address of a NUL-terminated message text
// (28803 with detail 0 is an unspecified error); 28810 with detail 14 is exhausted memory.
// Message texts live in module-level buffers, so an exception's detail stays readable
// until the next error of the same kind is raised.
//
// std_gatan_exception::what() formats the pair with the current error manager into one
// module-level buffer of 256 bytes (at most 255 characters); the text is valid until the
// next what() of any std_gatan_exception.
#ifndef XRAY_PLUGIN_GATANEXCEPTION_H
#define XRAY_PLUGIN_GATANEXCEPTION_H

#include <cstdint>
#include <exception>

#include "interface/DMPlugInInterface.h"

namespace Gatan {

struct ErrorPair {
    int32_t code;
    DM_ErrorDetail detail;
};

class gatan_exception : public std::exception {
  public:
    const char* what() const noexcept override = 0;
    virtual ErrorPair GetErrorCodes() const noexcept = 0;
};

class std_gatan_exception : public gatan_exception {
  public:
    std_gatan_exception(int32_t code, DM_ErrorDetail detail) : fErrorPair{code, detail} {}
    const char* what() const noexcept override;
    ErrorPair GetErrorCodes() const noexcept override { return fErrorPair; }

  private:
    ErrorPair fErrorPair;
};

}  // namespace Gatan

#endif  // XRAY_PLUGIN_GATANEXCEPTION_H
