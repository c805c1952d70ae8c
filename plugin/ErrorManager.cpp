#include "plugin/ErrorManager.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace Gatan {
namespace {

constexpr std::size_t kMessageBytes = 256;
char sErrorText[kMessageBytes];
char sMessageText[kMessageBytes];
// Source names and expressions are the frame's own, well within this.
char sAssertionText[1024];

ErrorManager* sErrorManager = nullptr;

const char* CopyMessage(char (&buffer)[kMessageBytes], const char* text) {
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > kMessageBytes - 1)
        length = kMessageBytes - 1;
    if (length > 0)
        std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return buffer;
}

DM_ErrorDetail AddressOf(const char* text) {
    return reinterpret_cast<DM_ErrorDetail>(text);
}

}  // namespace

void ErrorManager::RaiseError(int32_t code, DM_ErrorDetail detail) {
    throw std_gatan_exception(code, detail);
}

void ErrorManager::ReportError(const std::exception&) {}
void ErrorManager::DisplayError(int32_t, DM_ErrorDetail, int32_t) {}
void ErrorManager::ReservedOperation(void*) {}

bool ErrorManager::FormatErrorMessage(int32_t code, DM_ErrorDetail detail,
                                      PlugIn::StringSink& sink) {
    if (code == DM_ERROR_MESSAGE || code == DM_ERROR_PLUGIN_MESSAGE) {
        const char* text = detail != 0 ? reinterpret_cast<const char*>(detail)
                                       : "An unspecified error has occurred.";
        sink.Accept(text, std::strlen(text));
        return true;
    }
    char text[64];
    int length = std::snprintf(text, sizeof text,
                               "An error (%" PRId32 ",%" PRIdPTR ") has occurred.", code, detail);
    if (length > 0)
        sink.Accept(text, static_cast<std::size_t>(length));
    return true;
}

ErrorManager* GetErrorManager() {
    return sErrorManager;
}

ErrorManager* SetErrorManager(ErrorManager* manager) {
    ErrorManager* previous = sErrorManager;
    sErrorManager = manager;
    return previous;
}

void RaiseError(int32_t code, DM_ErrorDetail detail) {
    if (sErrorManager != nullptr)
        sErrorManager->RaiseError(code, detail);
    // A manager whose RaiseError returns still must not let the caller continue.
    throw std_gatan_exception(code, detail);
}

void RaiseErrorText(const char* text) {
    RaiseError(DM_ERROR_MESSAGE, AddressOf(CopyMessage(sErrorText, text)));
}

void RaiseMessageText(const char* text) {
    RaiseError(DM_ERROR_PLUGIN_MESSAGE, AddressOf(CopyMessage(sMessageText, text)));
}

void AssertionFailed(const char* source, int32_t line, const char* expression, int32_t mode) {
    std::snprintf(sAssertionText, sizeof sAssertionText,
                  "File \"%s\", Line %" PRId32 ": Assertion \"%s\" Failed!", source, line,
                  expression);
    DM_ErrorDetail detail = AddressOf(sAssertionText);
    if (mode == 0 || mode == 1)
        RaiseError(DM_ERROR_PLUGIN_MESSAGE, detail);
    if (mode == 2 && sErrorManager != nullptr) {
        sErrorManager->ReportError(std_gatan_exception(DM_ERROR_PLUGIN_MESSAGE, detail));
    }
}

}  // namespace Gatan
