// HostStrings: moving 8-bit text into and out of host Strings (encoding selector 0).
//
// MakeString returns a String owning one reference (null under NullHost). ReadString gives
// the String's characters to a sink while the host has them locked, unlocks them also when
// the sink throws, and returns the count the sink stored; a String the host cannot lock
// (null among them) reads as no characters. CopyStringToBuffer stores at most capacity
// characters and no NUL: the caller terminates, so the buffer needs capacity + 1 bytes.
#ifndef XRAY_PLUGIN_HOSTSTRINGS_H
#define XRAY_PLUGIN_HOSTSTRINGS_H

#include <cstddef>
#include <string>

#include "plugin/HostHandles.h"
#include "plugin/StringSink.h"

namespace Gatan {
namespace PlugIn {

String MakeString(const char* chars, std::size_t count);
String MakeString(const std::string& text);
std::size_t ReadString(const String& string, StringSink& sink);
std::string StringToText(const String& string);
std::size_t CopyStringToBuffer(const String& string, char* buffer, std::size_t capacity);

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTSTRINGS_H
