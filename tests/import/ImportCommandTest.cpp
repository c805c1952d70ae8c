// `xrayutils import` run as a user runs it: what it prints, the CSV rows, and an EMSA/MAS
// file written with --emsa that imports back to the same image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/import/SpectrumFiles.h"

#include "tests/support/ProgramRun.h"

namespace {

using importtest::Header;
using importtest::SpectrumText;

using testsupport::ProgramRun;

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ImportCommandTest : public ::testing::Test {
  protected:
    ProgramRun Run(const std::string& arguments) {
        const std::string out = fFiles.PathOf("stdout.txt");
        const std::string err = fFiles.PathOf("stderr.txt");
        return testsupport::RunProgram(std::string("\"") + XRAYUTILS_PATH + "\" " + arguments, out,
                                       err);
    }
    static std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

    importtest::SpectrumFolder fFiles;
};

Header EdsHeader() {
    return {{"TITLE", "Round trip"}, {"DATE", "05-MAR-2011"}, {"TIME", "13:05:09"},
            {"OWNER", "B. User"},    {"NPOINTS", "7"},        {"NCOLUMNS", "1"},
            {"XUNITS", "eV"},        {"YUNITS", "counts"},    {"XPERCHAN", "20.0"},
            {"OFFSET", "-100.0"},    {"SIGNALTYPE", "EDS"},   {"CHOFFSET", "5"},
            {"OPERMODE", "SCIMG"},   {"BEAMKV-kV", "300"},    {"EMISSION-uA", "4.5"},
            {"PROBECUR-nA", "0.75"}, {"BEAMDIAM-nm", "1.5"},  {"MAGCAM", "20000"},
            {"XTILTSTGE", "10.5"},   {"YTILTSTGE", "-2"},     {"EDSDET", "SIWLS"},
            {"ELEVANGLE", "18"},     {"AZIMANGLE", "0"},      {"SOLIDANGLE", "0.12"},
            {"LIVETIME", "50"},      {"REALTIME", "61.5"},    {"TDEADLYR", "0.05"},
            {"TACTLYR", "3.5"},      {"TAUWIND", "0.002"},    {"THCWIND", "0.1"}};
}

TEST_F(ImportCommandTest, PrintsTheImageAndItsTagTree) {
    const std::string path = fFiles.Write(
        "grid.msa", SpectrumText(EdsHeader(), {"1.5", "2", "0.1", "4", "5", "6", "7"}));
    const ProgramRun run = Run("import " + Quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string expectedStart =
        "Name: grid\nChannels: 7\nOrigin: -0.1\nScale: 0.02\nUnits: keV\nIntensity unit: Counts\n"
        "Tags:\n  Microscope Info:\n    Items:\n      [0]:\n        Data Type: 20\n"
        "        Label: Specimen\n        Tag path: Microscope Info:Specimen\n      [1]:\n";
    EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
    const std::string edsStart =
        "\n  EDS:\n    Acquisition:\n      Channels: 7\n      Date: 3/5/2011\n"
        "      Dispersion (kV): 0.02\n      End time: 1:6:10 PM\n";
    EXPECT_NE(run.out.find(edsStart), std::string::npos) << run.out;
}

TEST_F(ImportCommandTest, CsvRowsHoldChannelEnergyAndValue) {
    const std::string path =
        fFiles.Write("s.msa", SpectrumText({{"NPOINTS", "3"}, {"XPERCHAN", "0.5"}, {"OFFSET", "1"}},
                                           {"0.1", "20", "300"}));
    const std::string csv = fFiles.PathOf("s.csv");
    const ProgramRun run = Run("import " + Quoted(path) + " --csv " + Quoted(csv));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(csv), "channel,energy,value\n0,1,0.1\n1,1.5,20\n2,2,300\n");
}

TEST_F(ImportCommandTest, EmsaOutputImportsBackToTheSameImage) {
    const std::string first = fFiles.Write(
        "grid.msa", SpectrumText(EdsHeader(), {"1.5", "2", "0.1", "4", "5", "6", "7"}));
    const std::string copy = fFiles.PathOf("copy");
    std::filesystem::create_directory(copy);
    const std::string second = (std::filesystem::path(copy) / "grid.msa").string();
    const ProgramRun original = Run("import " + Quoted(first) + " --emsa " + Quoted(second));
    ASSERT_EQ(original.status, 0) << original.err;
    const ProgramRun again = Run("import " + Quoted(second));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, original.out) << "the same name, calibration, values and tags";
}

// Energy-loss spectra (widths in kV in the tags, eV in the calibration; the end time from
// the dwell or integration time, once past midnight; once without a named spectrometer),
// and files without a date or time.
TEST_F(ImportCommandTest, EnergyLossAndUndatedOutputImportsBackToTheSameTags) {
    const Header files[] = {
        {{"TIME", "23:50:00"},
         {"NPOINTS", "4"},
         {"NCOLUMNS", "1"},
         {"XUNITS", "eV"},
         {"XPERCHAN", "3.1"},
         {"OFFSET", "-10"},
         {"SIGNALTYPE", "ELS"},
         {"ELSDET", "SERIAL"},
         {"DWELLTIME-ms", "1830.5"}},
        {{"DATE", "01-FEB-2020"},
         {"TIME", "08:00:00"},
         {"NPOINTS", "4"},
         {"NCOLUMNS", "1"},
         {"XPERCHAN", "0.0005"},
         {"SIGNALTYPE", "ELS"},
         {"ELSDET", "PARALL"},
         {"INTEGTIME-ms", "12"}},
        {{"NPOINTS", "4"}, {"NCOLUMNS", "1"}, {"XPERCHAN", "0.25"}, {"SIGNALTYPE", "ELS"}},
        {{"NPOINTS", "4"},
         {"NCOLUMNS", "1"},
         {"XPERCHAN", "10"},
         {"SIGNALTYPE", "EDS"},
         {"REALTIME", "7200"}}};
    const std::string copy = fFiles.PathOf("copy");
    std::filesystem::create_directory(copy);
    for (const Header& header : files) {
        const std::string first = fFiles.Write("s.msa", SpectrumText(header, {"1", "2", "3", "4"}));
        const std::string second = (std::filesystem::path(copy) / "s.msa").string();
        const ProgramRun original = Run("import " + Quoted(first) + " --emsa " + Quoted(second));
        ASSERT_EQ(original.status, 0) << original.err;
        const ProgramRun again = Run("import " + Quoted(second));
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, original.out) << ReadAll(second);
    }
}

TEST_F(ImportCommandTest, EmsaOutputKeepsFourByteValuesAndAnEmptyIntensityUnit) {
    const std::string first = fFiles.Write(
        "odd.msa", SpectrumText({{"NPOINTS", "6"},
                                 {"NCOLUMNS", "1"},
                                 {"XPERCHAN", "2.5"},
                                 {"OFFSET", "-7.25"},
                                 {"XUNITS", "mm"}},
                                {"3.14159265358979", "-1e-7", "123456.789", "0", "1e30", "2"}));
    const std::string second = fFiles.PathOf("odd2.msa");
    const std::string csv1 = fFiles.PathOf("odd.csv");
    const std::string csv2 = fFiles.PathOf("odd2.csv");
    ASSERT_EQ(
        Run("import " + Quoted(first) + " --emsa " + Quoted(second) + " --csv " + Quoted(csv1))
            .status,
        0);
    const ProgramRun again = Run("import " + Quoted(second) + " --csv " + Quoted(csv2));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(ReadAll(csv2), ReadAll(csv1)) << "energies and values";
    EXPECT_NE(again.out.find("\nUnits: mm\nIntensity unit: \n"), std::string::npos) << again.out;
}

TEST_F(ImportCommandTest, UnopenableFileShowsTheResultsLineAndTheHostsError) {
    const std::string path = fFiles.PathOf("missing.msa");
    const ProgramRun run = Run("import " + Quoted(path));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string resultsLine = "FAIL : Unable to open " + path + "!\n";
    EXPECT_EQ(run.err.substr(0, resultsLine.size()), resultsLine);
    EXPECT_NE(run.err.find("xrayutils: CreateReal1DImage"), std::string::npos) << run.err;
}

}  // namespace
