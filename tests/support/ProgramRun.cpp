#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace testsupport {
namespace {

// Read as text, as a user sees it: Windows programs end their lines with CR LF.
std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The exit status of `line` run by the command interpreter.
int RunCommandLine(const std::string& line) {
#ifdef _WIN32
    // cmd.exe drops the first and the last quote of a line that starts with one, so the
    // whole line is quoted once more; std::system returns the exit status itself.
    return std::system(("\"" + line + "\"").c_str());
#else
    const int raw = std::system(line.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

}  // namespace

ProgramRun RunProgram(const std::string& command, const std::string& outPath,
                      const std::string& errPath) {
    ProgramRun run;
    run.status = RunCommandLine(XRAY_PROGRAM_EMULATOR + command + " >\"" + outPath + "\" 2>\"" +
                                errPath + "\"");
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

std::string TestFile(const std::string& suffix) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + test->test_suite_name() + "_" + test->name() + suffix;
}

ProgramRun RunProgramInTest(const std::string& program, const std::string& arguments) {
    return RunProgram("\"" + program + "\" " + arguments, TestFile(".out"), TestFile(".err"));
}

}  // namespace testsupport
