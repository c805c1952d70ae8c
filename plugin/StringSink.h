// StringSink: where characters read out of a host String (or formatted by an error
// manager) go.
//
// TextSink appends to a std::string the caller owns. FixedBufferSink writes into a
// caller's buffer of a given capacity: it stores at most capacity characters in total,
// counts the characters it had to drop, never writes past the buffer and never writes a
// terminating NUL (the caller does, so the buffer holds capacity + 1 bytes). Accept throws
// only what std::string throws when memory runs out.
#ifndef XRAY_PLUGIN_STRINGSINK_H
#define XRAY_PLUGIN_STRINGSINK_H

#include <cstddef>
#include <string>

namespace Gatan {
namespace PlugIn {

struct CharRange {
    const char* chars;
    std::size_t count;
};

class StringSink {
  public:
    virtual ~StringSink() = default;
    virtual void Accept(const char* chars, std::size_t count) = 0;
    // Everything stored so far.
    virtual CharRange Stored() const = 0;
};

class TextSink : public StringSink {
  public:
    explicit TextSink(std::string& text) : fText(text) {}
    void Accept(const char* chars, std::size_t count) override { fText.append(chars, count); }
    CharRange Stored() const override { return CharRange{fText.data(), fText.size()}; }

  private:
    std::string& fText;
};

class FixedBufferSink : public StringSink {
  public:
    FixedBufferSink(char* buffer, std::size_t capacity) : fBuffer(buffer), fCapacity(capacity) {}
    void Accept(const char* chars, std::size_t count) override;
    CharRange Stored() const override { return CharRange{fBuffer, fStored}; }
    std::size_t Dropped() const { return fDropped; }

  private:
    char* fBuffer;
    std::size_t fCapacity;
    std::size_t fStored = 0;
    std::size_t fDropped = 0;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_STRINGSINK_H
