// `xrayutils filter` run as a user runs it, on the bundled NiOx sample spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

using testsupport::ProgramRun;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class FilterCommandLineTest : public ::testing::Test {
  protected:
    FilterCommandLineTest()
        : fFolder(fs::temp_directory_path() /
                  ("xrayutils-filter-" + std::to_string(std::random_device()()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::create_directories(fFolder);
    }
    ~FilterCommandLineTest() override { fs::remove_all(fFolder); }

    // Runs `xrayutils filter SAMPLE <options>`.
    ProgramRun Filter(const std::string& options) {
        const fs::path out = fFolder / "stdout.txt";
        const fs::path err = fFolder / "stderr.txt";
        return testsupport::RunProgram(std::string("\"") + XRAYUTILS_PATH + "\" filter \"" +
                                           SAMPLE_SPECTRUM_PATH + "\" " + options,
                                       out.string(), err.string());
    }

    fs::path fFolder;
};

TEST_F(FilterCommandLineTest, PrintsTheFilteredImageWithItsRecordAndWritesItsRows) {
    const fs::path csv = fFolder / "filtered.csv";
    const ProgramRun run =
        Filter("--type fixed-tophat --resolution 133 --csv \"" + csv.string() + "\"");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Name: NiOx-sample (fixed tophat)\nChannels: 2048\n", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("Intensity unit: Counts/keV**2\n"), std::string::npos);
    const std::regex record(
        "\n  Processing:\n    \\[0\\]:\n      Operation: fixed tophat\n      Parameters:\n"
        "        Fixed lobe width \\(eV\\): 133\n      Time: [^\n]+\n");
    EXPECT_TRUE(std::regex_search(run.out, record)) << run.out;
    const std::string rows = ReadAll(csv);
    EXPECT_EQ(rows.rfind("channel,energy,value\n", 0), 0u);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2049);

    // The type's number selects the same filter.
    const std::regex timeLine("Time: [^\n]+");
    const ProgramRun byNumber = Filter("--type 3 --resolution 133");
    EXPECT_EQ(std::regex_replace(byNumber.out, timeLine, ""),
              std::regex_replace(run.out, timeLine, ""));
}

TEST_F(FilterCommandLineTest, ErrorsOfTheModuleAndOfTheCommandLine) {
    const ProgramRun noResolution = Filter("--type variable-tophat");
    EXPECT_EQ(noResolution.status, 1);
    EXPECT_NE(noResolution.err.find("\"EDS:Detector info:Energy resolution\""), std::string::npos)
        << noResolution.err;
    const ProgramRun out_of_range = Filter("--type 0");
    EXPECT_EQ(out_of_range.status, 1);
    EXPECT_EQ(out_of_range.err, "xrayutils: FilterType is out of range, should be 1-4.\n");
    EXPECT_EQ(Filter("--type blur").status, 2);
    EXPECT_EQ(Filter("").status, 2) << "--type is required";
    EXPECT_EQ(Filter("--type 1 --resolution wide").status, 2);
}

}  // namespace
