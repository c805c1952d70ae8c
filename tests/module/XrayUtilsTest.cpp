// The built xrayutils program, run as a user runs it: exit status, standard output and
// standard error.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/ProgramRun.h"

namespace {

using ::testing::HasSubstr;
using testsupport::ProgramRun;

using testsupport::TestFile;

ProgramRun RunXrayUtils(const std::string& arguments) {
    return testsupport::RunProgramInTest(XRAYUTILS_PATH, arguments);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(XrayUtilsTest, VersionPrintsTheModulesVersionText) {
    const ProgramRun run = RunXrayUtils("version");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0.14\n");
    EXPECT_EQ(run.err, "");
}

TEST(XrayUtilsTest, AModuleNamedOnTheCommandLineIsLoaded) {
    const ProgramRun run =
        RunXrayUtils(std::string("--module \"") + ZORXRAYUTILS_MODULE_PATH + "\" version");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0.14\n");

    const ProgramRun missing = RunXrayUtils("--module /no/such/libModule.so version");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_TRUE(Contains(missing.err, "/no/such/libModule.so")) << missing.err;
}

#ifdef _WIN32
TEST(XrayUtilsTest, OpenHandsTheTextOnAndPrintsNothing) {
    const ProgramRun run = RunXrayUtils("open /no/such/folder/spectrum.msa");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}
#else
// The desktop shell is xdg-open, here a stand-in first on PATH that writes down what it was
// given: the real one, where installed, prints its own complaints at some later moment.
TEST(XrayUtilsTest, OpenHandsTheTextOnAndPrintsNothing) {
    const std::string folder = TestFile(".bin");
    const std::string opened = TestFile(".opened");
    std::filesystem::create_directories(folder);
    std::filesystem::remove(opened);
    {
        std::ofstream script(folder + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << opened << ".part\" && mv \"" << opened
               << ".part\" \"" << opened << "\"\n";
    }
    std::filesystem::permissions(folder + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (folder + ":" + path).c_str(), 1);
    const ProgramRun run = RunXrayUtils("open '/no/such/folder/spectrum 1.msa'");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    // The shell is started, not waited for.
    for (int k = 0; k < 400 && !std::filesystem::exists(opened); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream file(opened);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "/no/such/folder/spectrum 1.msa");
}
#endif

TEST(XrayUtilsTest, HelpListsTheCommandsAndDescribesOne) {
    const ProgramRun usage = RunXrayUtils("--help");
    EXPECT_EQ(usage.status, 0);
    EXPECT_THAT(usage.out, HasSubstr("Usage: xrayutils [OPTIONS] [COMMAND]"));
    EXPECT_THAT(usage.out, HasSubstr("\nCommands:\n  version "));
    EXPECT_THAT(usage.out, HasSubstr("\n  niox "));
    EXPECT_EQ(RunXrayUtils("help").out, usage.out);
    EXPECT_EQ(RunXrayUtils("-h").out, usage.out);

    const ProgramRun open = RunXrayUtils("help open");
    EXPECT_EQ(open.status, 0);
    EXPECT_THAT(open.out, HasSubstr("Usage: xrayutils open [OPTIONS] TEXT\n"));
    for (const char* command :
         {"version", "open", "import", "filter", "niox", "icec", "simulate-niox"}) {
        for (const char* flag : {"--help", "-h"}) {
            const ProgramRun run = RunXrayUtils(std::string(command) + " " + flag);
            EXPECT_EQ(run.status, 0) << command << " " << flag;
            EXPECT_THAT(run.out, HasSubstr(std::string("Usage: xrayutils ") + command));
        }
    }
    const ProgramRun version = RunXrayUtils("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "0.14\n");
}

TEST(XrayUtilsTest, ACommandLineThatIsNotUnderstoodExitsWithTwo) {
    for (const char* arguments :
         {"", "frobnicate", "--frobnicate version", "--module", "open", "open a b", "version extra",
          "version --frobnicate", "help frobnicate"}) {
        const ProgramRun run = RunXrayUtils(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_THAT(run.err, HasSubstr("Usage: xrayutils")) << arguments;
    }
    EXPECT_THAT(RunXrayUtils("frobnicate").err, HasSubstr("frobnicate"));
    EXPECT_THAT(RunXrayUtils("open").err, HasSubstr("Usage: xrayutils open [OPTIONS] TEXT"));
}

TEST(XrayUtilsTest, AScriptErrorIsTheHostsMessageAndExitsWithOne) {
    const ProgramRun run =
        RunXrayUtils(std::string("--module \"") + FAILING_MODULE_PATH + "\" version");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "looking for the version\nxrayutils: the version is not available\n")
        << "the Results text, then the host's message";
}

}  // namespace
