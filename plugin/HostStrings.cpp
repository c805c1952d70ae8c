#include "plugin/HostStrings.h"

#include <cstdint>

#include "plugin/ErrorManager.h"
#include "plugin/HostScope.h"

namespace Gatan {
namespace PlugIn {
namespace {

constexpr int32_t kEncoding = 0;

// Gives the characters back to the host when the read ends, however it ends.
class StringLock {
  public:
    StringLock(HostContext* context, const String& string) : fContext(context), fString(string) {
        fChars = context->table->LockString(context, string.get(), kEncoding, &fLength, &fToken);
    }
    ~StringLock() {
        if (fChars != nullptr)
            fContext->table->UnlockString(fContext, fString.get(), fToken);
    }
    StringLock(const StringLock&) = delete;
    StringLock& operator=(const StringLock&) = delete;

    const char* chars() const { return fChars; }
    uint32_t length() const { return fLength; }

  private:
    HostContext* fContext;
    const String& fString;
    const char* fChars = nullptr;
    uint32_t fLength = 0;
    uint32_t fToken = 0;
};

}  // namespace

String MakeString(const char* chars, std::size_t count) {
    if (count > UINT32_MAX)
        RaiseErrorText("The text is too long for a host string.");
    HostScope scope;
    HostContext* context = scope.context();
    if (context == nullptr)
        return String();
    return String::TakeOver(
        context->table->NewString(context, kEncoding, chars, static_cast<uint32_t>(count)));
}

String MakeString(const std::string& text) {
    return MakeString(text.data(), text.size());
}

std::size_t ReadString(const String& string, StringSink& sink) {
    HostScope scope;
    if (scope.context() == nullptr)
        return 0;
    StringLock lock(scope.context(), string);
    if (lock.chars() == nullptr)
        return 0;
    sink.Accept(lock.chars(), lock.length());
    return sink.Stored().count;
}

std::string StringToText(const String& string) {
    std::string text;
    TextSink sink(text);
    ReadString(string, sink);
    return text;
}

std::size_t CopyStringToBuffer(const String& string, char* buffer, std::size_t capacity) {
    FixedBufferSink sink(buffer, capacity);
    return ReadString(string, sink);
}

}  // namespace PlugIn
}  // namespace Gatan
