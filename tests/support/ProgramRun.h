// ProgramRun: runs a built program as a user runs it from a command prompt, with its
// standard output and standard error sent to files, and returns its exit status and both
// texts. The one place where the tests meet the system's command interpreter, whose
// quoting and result differ between platforms.
//
// Nothing here throws except std::bad_alloc; a program that cannot be started shows as
// the interpreter's own non-zero status.
#ifndef XRAY_TESTS_SUPPORT_PROGRAMRUN_H
#define XRAY_TESTS_SUPPORT_PROGRAMRUN_H

#include <string>

namespace testsupport {

struct ProgramRun {
    int status = -1;  // the program's exit status; -1 when it did not exit normally
    std::string out;  // standard output, read as text (line ends are "\n")
    std::string err;  // standard error, read as text
};

// `command` is the program path and its arguments, each quoted where it needs to be; the
// output of the run goes to `outPath` and `errPath`, which are left behind for the caller.
// A cross-built program is started through the emulator its tests run under.
ProgramRun RunProgram(const std::string& command, const std::string& outPath,
                      const std::string& errPath);

// A file in the test folder named after the running test and its suite, so tests run side
// by side never share one.
std::string TestFile(const std::string& suffix);

// Runs `program` (quoted here) with `arguments` (already quoted where needed), its output
// going to files named after the running test.
ProgramRun RunProgramInTest(const std::string& program, const std::string& arguments);

}  // namespace testsupport

#endif  // XRAY_TESTS_SUPPORT_PROGRAMRUN_H
