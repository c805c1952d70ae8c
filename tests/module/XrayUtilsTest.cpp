// The built xrayutils program, run as a user runs it: exit status, standard output and
// standard error.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ProgramRun.h"

namespace {

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

TEST(XrayUtilsTest, OpenHandsTheTextOnAndPrintsNothing) {
    const ProgramRun run = RunXrayUtils("open /no/such/folder/spectrum.msa");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST(XrayUtilsTest, HelpListsTheSubCommandsAndDescribesOne) {
    const ProgramRun usage = RunXrayUtils("--help");
    EXPECT_EQ(usage.status, 0);
    EXPECT_EQ(usage.out.rfind("usage: xrayutils", 0), 0u) << usage.out;
    EXPECT_TRUE(Contains(usage.out, "\n  version "));
    EXPECT_TRUE(Contains(usage.out, "\n  open TEXT "));

    const ProgramRun open = RunXrayUtils("help open");
    EXPECT_EQ(open.status, 0);
    EXPECT_EQ(open.out.rfind("usage: xrayutils [--module PATH] open TEXT\n", 0), 0u) << open.out;
    EXPECT_EQ(RunXrayUtils("help").out, usage.out);
}

TEST(XrayUtilsTest, ACommandLineThatIsNotUnderstoodExitsWithTwo) {
    for (const char* arguments :
         {"", "frobnicate", "--frobnicate version", "--module", "open", "open a b", "version extra",
          "version --frobnicate", "help frobnicate"}) {
        const ProgramRun run = RunXrayUtils(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_TRUE(Contains(run.err, "usage: xrayutils")) << arguments << ": " << run.err;
    }
    EXPECT_TRUE(Contains(RunXrayUtils("frobnicate").err, "unknown sub-command frobnicate"));
    EXPECT_TRUE(Contains(RunXrayUtils("open").err, "usage: xrayutils [--module PATH] open TEXT"));
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
