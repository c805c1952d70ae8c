// HostFailure: thrown inside the stand-in host when a host function fails. CallFunction
// turns it into a pending throwable with this code and message and answers status 1.
#ifndef XRAY_HOST_HOSTFAILURE_H
#define XRAY_HOST_HOSTFAILURE_H

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dmhost {

// The code of the host's own failures.
constexpr int32_t kHostFailureCode = 28802;

class HostFailure : public std::runtime_error {
  public:
    explicit HostFailure(const std::string& message, int32_t code = kHostFailureCode)
        : std::runtime_error(message), fCode(code) {}
    int32_t code() const { return fCode; }

  private:
    int32_t fCode;
};

}  // namespace dmhost

#endif  // XRAY_HOST_HOSTFAILURE_H
