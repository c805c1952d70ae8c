#include "plugin/GatanException.h"

#include "plugin/ErrorManager.h"
#include "plugin/StringSink.h"

namespace Gatan {
namespace {

constexpr std::size_t kMessageBytes = 256;
char sExceptionText[kMessageBytes];

}  // namespace

const char* std_gatan_exception::what() const noexcept {
    PlugIn::FixedBufferSink sink(sExceptionText, kMessageBytes - 1);
    try {
        ErrorManager fallback;
        ErrorManager* manager = GetErrorManager();
        (manager != nullptr ? manager : &fallback)
            ->FormatErrorMessage(fErrorPair.code, fErrorPair.detail, sink);
    } catch (...) {
        // Formatting into a fixed buffer does not throw; keep what was stored if it did.
    }
    sExceptionText[sink.Stored().count] = '\0';
    return sExceptionText;
}

}  // namespace Gatan
