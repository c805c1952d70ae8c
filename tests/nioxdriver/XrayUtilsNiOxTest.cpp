// The niox, icec and simulate-niox sub-commands of the built xrayutils program on the
// bundled sample spectra, run as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/ProgramRun.h"

namespace {

using testsupport::ProgramRun;

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

using testsupport::TestFile;

ProgramRun RunXrayUtils(const std::string& arguments) {
    return testsupport::RunProgramInTest(XRAYUTILS_PATH, arguments);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string kSample = std::string("\"") + EXAMPLES_DIR + "/NiOx-sample.msa\"";
const std::string kIceCarbon = std::string("\"") + EXAMPLES_DIR + "/NiOx-sample-ice-carbon.msa\"";

const char* const kTitles[] = {"Results of energy-resolution",  "Results of inverse hole-count",
                               "Results of Fiori P/B",          "Results of total P/B",
                               "Results of Mo K/L ratio",       "Results of solid-angle",
                               "Results of detector efficiency"};

TEST(XrayUtilsNiOxTest, NiOxPrintsTheFullReportOfTheSample) {
    const ProgramRun run = RunXrayUtils("niox " + kSample + " --thickness 50");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("\n\t\tFile name:        NiOx-sample\n\t\tSpectrum offset:     0 (keV)"
                            "\n\t\tEnergy step:      0.01 (keV)\n\t\tNumber of points: 2048\n\n",
                            0),
              0u)
        << run.out;
    for (const char* title : kTitles)
        EXPECT_TRUE(Contains(run.out, title)) << title;
    EXPECT_EQ(RunXrayUtils("niox " + kSample + " --all --thickness 50").out, run.out);
}

TEST(XrayUtilsNiOxTest, SelectionsAndTheirNeeds) {
    const ProgramRun kl = RunXrayUtils("niox " + kSample + " --mo-kl");
    EXPECT_EQ(kl.status, 0) << kl.err;
    for (const char* title : kTitles)
        EXPECT_EQ(Contains(kl.out, title), std::string(title) == "Results of Mo K/L ratio")
            << title;

    for (const char* selection : {"--solid-angle", "--efficiency", "--all"}) {
        const ProgramRun run = RunXrayUtils("niox " + kSample + " " + selection);
        EXPECT_EQ(run.status, 2) << selection;
        EXPECT_TRUE(Contains(run.err, "--thickness NM")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const ProgramRun unselected = RunXrayUtils("niox " + kSample);
    EXPECT_EQ(unselected.status, 0) << unselected.err;
    for (const char* title : kTitles)
        EXPECT_EQ(Contains(unselected.out, title),
                  std::string(title) != "Results of solid-angle" &&
                      std::string(title) != "Results of detector efficiency")
            << "without a thickness all but the solid angle and efficiency: " << title;
    EXPECT_EQ(RunXrayUtils("niox " + kSample + " --all --thickness fifty").status, 2);
    EXPECT_EQ(RunXrayUtils("niox " + kSample + " --mo-kl --fit-csv fit.csv").status, 2);
    EXPECT_EQ(RunXrayUtils("niox --mo-kl").status, 2);
}

TEST(XrayUtilsNiOxTest, FitCsvHoldsTheGaussianWithTheSpectrumsEnergies) {
    const std::string csv = TestFile(".csv");
    const ProgramRun run =
        RunXrayUtils("niox " + kSample + " --resolution --fit-csv \"" + csv + "\"");
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(ReadAll(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "channel,energy,value");
    int rows = 0;
    double peak = 0.0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string channel, energy, value;
        std::getline(fields, channel, ',');
        std::getline(fields, energy, ',');
        std::getline(fields, value);
        ASSERT_EQ(std::stoi(channel), rows) << line;
        EXPECT_NEAR(std::stod(energy), 0.01 * rows, 1e-5) << line;
        if (rows < 700 || rows > 800) {
            ASSERT_EQ(std::stod(value), 0.0) << line;
        }
        peak = std::max(peak, std::stod(value));
        ++rows;
    }
    EXPECT_EQ(rows, 2048);
    EXPECT_GT(peak, 1000.0);
    std::remove(csv.c_str());
}

TEST(XrayUtilsNiOxTest, IceCComparesTwoFiles) {
    const ProgramRun run = RunXrayUtils("icec " + kIceCarbon + " " + kSample);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Results of contamination evaluation using the NiOx thin specimen\n"
                            "\n*** Results of contamination layer thickness ***\n"
                            "\t\tSpectrum 1: NiOx-sample-ice-carbon\n\t\tSpectrum 2: NiOx-sample\n",
                            0),
              0u)
        << run.out;
    const ProgramRun same = RunXrayUtils("icec " + kSample + " " + kSample);
    EXPECT_TRUE(Contains(same.out, "Ice layer thickness: 0.0 (nm)")) << same.out;
    EXPECT_EQ(RunXrayUtils("icec " + kSample).status, 2);
}

TEST(XrayUtilsNiOxTest, AFileThatCannotBeOpenedFails) {
    const ProgramRun run = RunXrayUtils("niox /no/such/spectrum.msa --mo-kl");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, "FAIL : Unable to open /no/such/spectrum.msa!")) << run.err;
    EXPECT_TRUE(Contains(run.err, "\nxrayutils: ")) << "and the error after it: " << run.err;
}

// The bundled sample is reproduced exactly by the options that made it.
TEST(XrayUtilsNiOxTest, SimulateNiOxRemakesTheSampleAndPrintsTheTruth) {
    const std::string file = TestFile(".msa");
    const ProgramRun run = RunXrayUtils(
        "simulate-niox --title \"NiOx test specimen, simulated\" --live-time 1000 -o \"" + file +
        "\"");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(file), ReadAll(std::string(EXAMPLES_DIR) + "/NiOx-sample.msa"));
    EXPECT_TRUE(Contains(run.out, "solid angle:          0.12 sr")) << run.out;
    EXPECT_TRUE(Contains(run.out, "FWHM at Ni Ka:        144.339 eV")) << run.out;
    std::remove(file.c_str());

    const ProgramRun bad = RunXrayUtils("simulate-niox --beam-kv 199 -o \"" + file + "\"");
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(Contains(bad.err, "beam voltage")) << bad.err;
    EXPECT_EQ(RunXrayUtils("simulate-niox --ice 10").status, 2) << "no output file";
}

TEST(XrayUtilsNiOxTest, SimulateNiOxWritesTheAcquisitionTimeGiven) {
    const std::string file = TestFile(".msa");
    const std::string output = " -o \"" + file + "\"";
    ASSERT_EQ(RunXrayUtils("simulate-niox --acquired 2026-03-09T14:05" + output).status, 0);
    EXPECT_TRUE(Contains(ReadAll(file), "#DATE        : 09-MAR-2026\n#TIME        : 14:05\n"))
        << ReadAll(file).substr(0, 400);
    ASSERT_EQ(RunXrayUtils("simulate-niox --acquired 2026-03-09T14:05:30" + output).status, 0);
    EXPECT_TRUE(Contains(ReadAll(file), "#TIME        : 14:05:30\n"));
    const ProgramRun bad = RunXrayUtils("simulate-niox --acquired 2026-02-30" + output);
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(Contains(bad.err, "not \"2026-02-30\"")) << bad.err;
    std::remove(file.c_str());
}

}  // namespace
