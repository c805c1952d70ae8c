// ResultsStream: the module's output stream to the host's Results window.
//
// ResultsStreamBuff keeps up to 255 characters (a 256-byte array, one byte kept for a
// terminating NUL) and sends them as one piece, through the callback table's Results
// entry, when the stream is flushed or the buffer cannot take more. A write of more than
// 255 characters at once is sent directly as one piece. Each piece becomes one host
// String added to the Results window unchanged. A piece the host refuses stays buffered
// and the flush reports failure to the stream; nothing is thrown from a flush. Text still
// buffered at unload is not sent. One module-level buffer and stream, used on one thread.
#ifndef XRAY_PLUGIN_RESULTSSTREAM_H
#define XRAY_PLUGIN_RESULTSSTREAM_H

#include <cstdint>
#include <ostream>
#include <streambuf>

namespace Gatan {
namespace PlugIn {

class ResultsStreamBuff : public std::streambuf {
  public:
    ResultsStreamBuff();

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* chars, std::streamsize count) override;
    int sync() override;

  private:
    void ResetPutArea();
    std::streamsize Free() const { return epptr() - pptr(); }

    char fBuffer[256];
    int32_t fCapacity = 256;
};

extern std::ostream ResultsStream;

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_RESULTSSTREAM_H
