// Platform: the only place that touches the operating system. Everything else in the
// module goes through these functions and stays standard C++.
//
// Nothing here throws except std::bad_alloc; failures are reported as stated per function.
#ifndef XRAY_PORT_PLATFORM_H
#define XRAY_PORT_PLATFORM_H

#include <ctime>
#include <istream>
#include <memory>
#include <string>

namespace xray::port {

// Opens a file for reading in text mode without denying other programs read or write
// access (an acquisition program may still hold the spectrum open). The path is passed to
// the system unchanged. Returns the stream, owned by the caller and positioned at the
// start of the file, or nullptr when the file cannot be opened. Elsewhere than on Windows
// anything but a regular file (a folder, a named pipe, a device) counts as a file that
// cannot be opened, so the call neither blocks nor reads without end. Text mode means the
// system may turn a carriage return and line feed into a line feed; callers accept both.
std::unique_ptr<std::istream> OpenSharedTextFile(const std::string& path);

// The local calendar time of `when`, thread-safe. All members are zero if the system
// cannot convert it.
std::tm LocalTime(std::time_t when);

// The calendar time of `when` in UTC, thread-safe; all members zero on failure.
std::tm UniversalTime(std::time_t when);

// Hands `text` (a document path or an address) to the desktop shell to open it. Returns
// at once; the shell's result is ignored. The text is passed as one argument, never
// through a command interpreter.
void ShellOpen(const std::string& text);

}  // namespace xray::port

#endif  // XRAY_PORT_PLATFORM_H
