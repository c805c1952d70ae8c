// niox --json/--csv and icec --json of the built xrayutils program, run as a user runs them:
// the records' keys and nulls, numbers against the module's report, failures beside
// successes, exit statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "niox/ReportFormat.h"
#include "tests/support/ProgramRun.h"

namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using testsupport::ProgramRun;

const std::string kSample = std::string(EXAMPLES_DIR) + "/NiOx-sample.msa";
const std::string kIceCarbon = std::string(EXAMPLES_DIR) + "/NiOx-sample-ice-carbon.msa";

ProgramRun RunXrayUtils(const std::string& arguments) {
    return testsupport::RunProgramInTest(XRAYUTILS_PATH, arguments);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A 10 kV spectrum of a sample without nickel or molybdenum: the Bremsstrahlung alone, and
// no BEAMKV or TIME line.
std::string WriteBackgroundSpectrum() {
    const std::string path = testsupport::TestFile("-background.msa");
    std::ofstream file(path);
    file << "#FORMAT      : EMSA/MAS Spectral Data File\n#VERSION     : 1.0\n"
            "#DATE        : 11-JUN-2024\n#NPOINTS     : 1000\n#NCOLUMNS    : 1\n"
            "#XPERCHAN    : 0.01\n#OFFSET      : 0.0\n#SIGNALTYPE  : EDS\n#LIVETIME  -s: 60\n"
            "#SPECTRUM    : Spectral Data Starts Here\n0\n";
    for (int i = 1; i < 1000; ++i)
        file << static_cast<int>(20000 * (10.0 - i * 0.01) / (i * 0.01)) << "\n";
    file << "#ENDOFDATA   : \n";
    return path;
}

// Every number of the JSON record prints as the module's report prints it.
TEST(XrayUtilsBatchTest, JsonNumbersRoundToTheReportsDigits) {
    const ProgramRun report = RunXrayUtils("niox " + Quoted(kSample) + " --thickness 50");
    const ProgramRun run = RunXrayUtils("niox " + Quoted(kSample) + " --thickness 50 --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const json record = json::parse(run.out).at(0);
    EXPECT_EQ(record["errors"], json::object());
    struct Printed {
        const char* label;
        const char* block;
        const char* key;
        int decimals;
    };
    const Printed printed[] = {
        {"Peak height:    ", "energy_resolution", "peak_height_counts", 1},
        {"Peak position:  ", "energy_resolution", "peak_position_kev", 3},
        {"std deviation : ", "energy_resolution", "sigma_ev", 1},
        {"FWTM at NiKa:   ", "energy_resolution", "fwtm_ni_ka_ev", 1},
        {"FWHM at MnKa:  ", "energy_resolution", "fwhm_mn_ka_ev", 1},
        {"Net NiK peak:   ", "inverse_hole_count", "ni_k_net_counts", 1},
        {"Inverse hole-count: ", "inverse_hole_count", "value", 2},
        {"Error 2sigma(95%):  ", "inverse_hole_count", "error_2sigma", 2},
        {"Fiori P/B:         ", "fiori_pb", "value", 2},
        {"Total P/B:         ", "total_pb", "value", 2},
        {"Net Mo L peak:  ", "mo_kl_ratio", "mo_l_net_counts", 1},
        {"Mo K/L ratio:         ", "mo_kl_ratio", "value", 2},
        {"Collection angle:  ", "solid_angle_sr", "value", 4},
        {"Detector efficiency: ", "detector_efficiency", "value", 4},
        {"Normalized detector efficiency: ", "normalized_detector_efficiency", "value", 4},
        {"Error 3sigma(99%): ", "normalized_detector_efficiency", "error_3sigma", 4},
    };
    for (const Printed& p : printed) {
        const double value = record.at(p.block).at(p.key).get<double>();
        EXPECT_THAT(report.out, HasSubstr(p.label + xray::Fixed(value, p.decimals)))
            << p.block << "." << p.key;
    }
}

TEST(XrayUtilsBatchTest, ABatchGoesOnPastUnreadableFilesAndFailedEvaluations) {
    const std::string background = WriteBackgroundSpectrum();
    const std::string files = Quoted(kSample) + " /no/such/spectrum.msa " + Quoted(background);
    const ProgramRun run = RunXrayUtils("niox " + files + " --json");
    EXPECT_EQ(run.status, 1) << run.err;
    const json records = json::parse(run.out);
    ASSERT_EQ(records.size(), 3u);

    const json& good = records[0];
    EXPECT_EQ(good["name"], "NiOx-sample");
    EXPECT_EQ(good["spectrum"]["acquired"], "2026-01-01T12:00:00");
    EXPECT_FALSE(good.contains("solid_angle_sr")) << "not selected without a thickness";
    EXPECT_EQ(good["errors"], json::object());

    EXPECT_EQ(records[1], (json{{"file", "/no/such/spectrum.msa"},
                                {"name", "spectrum"},
                                {"error",
                                 "Could not open the spectrum file "
                                 "\"/no/such/spectrum.msa\"."}}));

    const json& bad = records[2];
    EXPECT_FALSE(bad.contains("energy_resolution"));
    EXPECT_THAT(bad["errors"]["energy_resolution"].get<std::string>(),
                HasSubstr("lies outside the fit window"));
    EXPECT_TRUE(bad["spectrum"]["beam_kv"].is_null()) << "the file has no BEAMKV";
    EXPECT_TRUE(bad["spectrum"]["acquired"].is_null()) << "a DATE without a TIME";
    EXPECT_EQ(bad["spectrum"]["live_time_s"], 60.0);
    EXPECT_TRUE(bad["inverse_hole_count"]["value"].is_null())
        << "a ratio over no Mo K counts has no JSON number";
    EXPECT_EQ(bad["inverse_hole_count"]["mo_k_net_counts"], 0.0);
    EXPECT_TRUE(bad["mo_kl_ratio"]["value"].is_number());

    const ProgramRun csv = RunXrayUtils("niox " + files + " --csv");
    EXPECT_EQ(csv.status, 1);
    std::istringstream lines(csv.out);
    std::string header, row;
    std::getline(lines, header);
    EXPECT_EQ(header.rfind("file,name,error,spectrum.channels,spectrum.offset_kev,", 0), 0u)
        << header;
    EXPECT_THAT(header, HasSubstr(",energy_resolution.fwhm_mn_ka_ev,"));
    EXPECT_EQ(header.substr(header.rfind(',')), ",errors");
    std::vector<std::string> rows;
    while (std::getline(lines, row))
        rows.push_back(row);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_THAT(rows[0], HasSubstr("," + good["energy_resolution"]["fwhm_mn_ka_ev"].dump() + ","));
    EXPECT_THAT(rows[1], HasSubstr(",\"Could not open the spectrum file \"\"/no/such/"));
    EXPECT_THAT(rows[2], HasSubstr("energy_resolution: The Ni Ka line could not be measured"));

    EXPECT_EQ(RunXrayUtils("niox " + files + " --json --csv").status, 2);
    EXPECT_EQ(RunXrayUtils("niox " + files).status, 2) << "several files need --json or --csv";
    EXPECT_EQ(RunXrayUtils("niox " + Quoted(kSample) + " --json --efficiency").status, 2);
}

TEST(XrayUtilsBatchTest, IceCJsonIsEachFileLessTheReference) {
    const ProgramRun report = RunXrayUtils("icec " + Quoted(kIceCarbon) + " " + Quoted(kSample));
    const ProgramRun run = RunXrayUtils("icec " + Quoted(kSample) + " " + Quoted(kIceCarbon) +
                                        " /no/such/spectrum.msa --json");
    EXPECT_EQ(run.status, 1);
    const json records = json::parse(run.out);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]["reference"], kSample);
    const double ice = records[0]["ice_nm"]["value"].get<double>();
    EXPECT_GT(ice, 0.0) << "the file carries more ice than the reference";
    EXPECT_THAT(report.out, HasSubstr("Ice layer thickness: " + xray::Fixed(ice, 1) + " (nm)"));
    EXPECT_THAT(report.out, HasSubstr("Carbon layer thickness: " +
                                      xray::Fixed(records[0]["carbon_nm"]["value"], 1)));
    EXPECT_TRUE(records[1].contains("error"));
    EXPECT_EQ(
        RunXrayUtils("icec " + Quoted(kSample) + " " + Quoted(kSample) + " " + Quoted(kIceCarbon))
            .status,
        2);
}

}  // namespace
