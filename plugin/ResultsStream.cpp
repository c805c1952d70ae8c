#include "plugin/ResultsStream.h"

#include <cstring>

#include "plugin/PlugInUtility.h"

namespace Gatan {
namespace PlugIn {
namespace {

ResultsStreamBuff sResultsStreamBuff;

}  // namespace

std::ostream ResultsStream(&sResultsStreamBuff);

ResultsStreamBuff::ResultsStreamBuff() : fBuffer() {
    ResetPutArea();
}

void ResultsStreamBuff::ResetPutArea() {
    setp(fBuffer, fBuffer + fCapacity - 1);
}

ResultsStreamBuff::int_type ResultsStreamBuff::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::eof();
    if (Free() == 0)
        sync();
    if (Free() == 0)
        return traits_type::eof();
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize ResultsStreamBuff::xsputn(const char* chars, std::streamsize count) {
    if (Free() < count)
        sync();
    if (count <= Free()) {
        std::memcpy(pptr(), chars, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    GetCallbacks().write_results(chars, static_cast<uint32_t>(count));
    ResetPutArea();
    return count;
}

int ResultsStreamBuff::sync() {
    std::ptrdiff_t count = pptr() - pbase();
    if (count == 0)
        return 0;
    *pptr() = '\0';
    try {
        GetCallbacks().write_results(pbase(), static_cast<uint32_t>(count));
    } catch (...) {
        return -1;
    }
    ResetPutArea();
    return 0;
}

}  // namespace PlugIn
}  // namespace Gatan
