// The qc commands of the built xrayutils program, run as a user runs them: a history from
// adding to the alarm, the records of list, bad input named in its message, damaged
// databases left as they were, the default database path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "cli/QcStore.h"
#include "tests/qc/QcTestFiles.h"

namespace {

using nlohmann::json;
using qctest::Week;
using qctest::WeekTime;
using ::testing::HasSubstr;
using testsupport::ProgramRun;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

ProgramRun RunXrayUtils(const std::string& arguments) {
    return testsupport::RunProgramInTest(XRAYUTILS_PATH, arguments);
}

class XrayUtilsQcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fFolder = qctest::FreshFolder();
        fDatabase = fFolder + "/qc.sqlite";
    }

    ProgramRun Qc(const std::string& arguments) {
        return RunXrayUtils("qc --db " + Quoted(fDatabase) + " " + arguments);
    }

    // Weekly spectra of weeks `first` to `last` at the resolution given, as one argument text.
    std::string Weeks(int first, int last, double resolution = 130.0) {
        std::string files;
        for (int week = first; week <= last; ++week)
            files += " " + Quoted(Spectrum(week, resolution));
        return files;
    }

    std::string Spectrum(int week, double resolution = 130.0) {
        const std::string path = fFolder + "/week" + std::to_string(week) + ".msa";
        return qctest::WriteSpectrum(path, Week(week, resolution), WeekTime(week));
    }

    std::string fFolder;
    std::string fDatabase;
};

// The Mn Ka width the evaluation reports for a simulated detector: the Ni Ka line's width
// scaled by 0.926.
double MeasuredMnKaWidth(double resolutionMnKa) {
    return 0.926 * xray::LineWidth(resolutionMnKa, 7.478);
}

const json& QuantityOf(const json& check, const std::string& quantity) {
    for (const json& q : check["quantities"])
        if (q["quantity"] == quantity)
            return q;
    throw std::runtime_error("no " + quantity);
}

TEST_F(XrayUtilsQcTest, AHistoryRaisesTheAlarmWhenTheResolutionDrifts) {
    const ProgramRun add = Qc("add --detector EDS-1" + Weeks(1, 6));
    ASSERT_EQ(add.status, 0) << add.out << add.err;
    EXPECT_THAT(add.out, HasSubstr("week1.msa: entry 1 of detector EDS-1, acquired "
                                   "2026-01-05T09:00:00\n"));
    EXPECT_THAT(add.out, HasSubstr("week6.msa: entry 6 of detector EDS-1, acquired "
                                   "2026-02-09T09:00:00\n"));

    const ProgramRun limits = Qc("limits --detector EDS-1 --baseline 5 --json");
    ASSERT_EQ(limits.status, 0) << limits.err;
    const json set = json::parse(limits.out);
    ASSERT_EQ(set.size(), 8u) << "every quantity but the solid angle and efficiencies";
    EXPECT_EQ(set[0]["quantity"], "energy_resolution.fwhm_mn_ka_ev");
    EXPECT_EQ(set[0]["source"], "baseline");
    EXPECT_NEAR(set[0]["mean"].get<double>(), MeasuredMnKaWidth(130.0), 1.0);
    EXPECT_DOUBLE_EQ(set[0]["low"].get<double>(),
                     set[0]["mean"].get<double>() - 3 * set[0]["s"].get<double>());

    const ProgramRun quiet = Qc("check --detector EDS-1 --json");
    EXPECT_EQ(quiet.status, 0) << quiet.out;
    EXPECT_EQ(json::parse(quiet.out)["entry"], 6);

    // The detector's resolution has worsened by 8 eV.
    ASSERT_EQ(Qc("add --detector EDS-1 " + Quoted(Spectrum(7, 138.0))).status, 0);
    const ProgramRun alarm = Qc("check --detector EDS-1 --json");
    EXPECT_EQ(alarm.status, 3) << alarm.out;
    const json check = json::parse(alarm.out);
    EXPECT_EQ(check["entry"], 7);
    EXPECT_EQ(check["acquired"], "2026-02-16T09:00:00");
    EXPECT_EQ(check["within_limits"], false);
    const json& resolution = QuantityOf(check, "energy_resolution.fwhm_mn_ka_ev");
    EXPECT_EQ(resolution["within"], false);
    EXPECT_GT(resolution["sigmas_from_mean"].get<double>(), 3.0);
    EXPECT_NEAR(resolution["value"].get<double>(), MeasuredMnKaWidth(138.0), 2.0);
    EXPECT_TRUE(QuantityOf(check, "solid_angle_sr.value")["within"].is_null()) << "unchecked";

    const ProgramRun text = Qc("check --detector EDS-1");
    EXPECT_EQ(text.status, 3);
    EXPECT_THAT(text.out, HasSubstr("Entry 7 of detector EDS-1, acquired 2026-02-16T09:00:00: "
                                    "OUTSIDE the control limits\n"));
    EXPECT_THAT(text.out, HasSubstr("unchecked: no limits"));

    const ProgramRun all = Qc("check --detector EDS-1 --all --json");
    EXPECT_EQ(all.status, 3);
    EXPECT_EQ(json::parse(all.out).size(), 7u);

    // Culled, the drifted entry leaves the checks; taken back, it raises the alarm again.
    EXPECT_EQ(Qc("cull 7").status, 0);
    EXPECT_EQ(Qc("check --detector EDS-1").status, 0);
    EXPECT_THAT(Qc("list --detector EDS-1").out, HasSubstr("week7.msa  (culled)"));
    EXPECT_EQ(Qc("cull 7 --undo").status, 0);
    EXPECT_EQ(Qc("check --detector EDS-1").status, 3);
}

// Every key of `niox --json`, unchanged, with the history's own keys around them.
TEST_F(XrayUtilsQcTest, ListGivesTheNiOxRecordsWithTheHistorysKeys) {
    const std::string files = Weeks(1, 2);
    ASSERT_EQ(Qc("add --detector EDS-1 --thickness 50 --note \"new window\"" + files).status, 0);
    const ProgramRun niox = RunXrayUtils("niox --thickness 50 --json" + files);
    ASSERT_EQ(niox.status, 0) << niox.err;
    const json records = json::parse(niox.out);

    const ProgramRun list = Qc("list --detector EDS-1 --json");
    ASSERT_EQ(list.status, 0) << list.err;
    const json entries = json::parse(list.out);
    ASSERT_EQ(entries.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        json record = entries[k];
        EXPECT_EQ(record["id"], k + 1);
        EXPECT_EQ(record["detector"], "EDS-1");
        EXPECT_EQ(record["acquired"], WeekTime(static_cast<int>(k) + 1) + ":00");
        EXPECT_EQ(record["culled"], false);
        EXPECT_EQ(record["note"], "new window");
        EXPECT_EQ(record["program_version"], "0.14");
        for (const char* key : {"id", "detector", "acquired", "culled", "note", "recorded",
                                "program_version", "contamination"})
            record.erase(key);
        EXPECT_EQ(record, records[k]);
    }
    EXPECT_TRUE(entries[0]["contamination"].is_null()) << "the reference";
    const json& ice = entries[1]["contamination"]["ice_nm"];
    EXPECT_NEAR(ice["value"].get<double>(), 0.0, 3 * ice["error_1sigma"].get<double>());
    EXPECT_TRUE(entries[1]["contamination"]["carbon_nm"]["error_3sigma"].is_number());

    const ProgramRun csv = Qc("list --detector EDS-1 --csv");
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')).substr(0, 52),
              "id,detector,acquired,culled,note,file,name,error,spe");
    EXPECT_THAT(csv.out,
                HasSubstr(",contamination.ice_nm.value,contamination.ice_nm.error_1sigma,"));
    EXPECT_THAT(csv.out, HasSubstr("\n1,EDS-1,2026-01-05T09:00:00,false,new window,"));
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);

    const ProgramRun text = Qc("list --detector EDS-1");
    EXPECT_THAT(text.out, HasSubstr("1     2026-01-05T09:00:00  "));
    EXPECT_THAT(text.out, HasSubstr("ref      ref"));

    const ProgramRun detectors = Qc("detectors");
    EXPECT_THAT(detectors.out, HasSubstr("EDS-1               2        2026-01-05T09:00:00  "
                                         "2026-01-12T09:00:00  1\n"));
}

TEST_F(XrayUtilsQcTest, AddRecordsWhatItCanAndSaysWhatItCouldNot) {
    const std::string good = Spectrum(1);
    std::string text = qctest::ReadBytes(Spectrum(2));
    for (const char* keyword : {"#DATE", "#TIME"}) {
        const size_t at = text.find(keyword);
        text.erase(at, text.find('\n', at) + 1 - at);
    }
    const std::string undated = fFolder + "/undated.msa";
    qctest::WriteBytes(undated, text);
    const std::string missing = fFolder + "/missing.msa";

    const ProgramRun add =
        Qc("add --detector EDS-1 " + Quoted(good) + " " + Quoted(missing) + " " + Quoted(undated));
    EXPECT_EQ(add.status, 1);
    EXPECT_THAT(add.out, HasSubstr(good + ": entry 1 of detector EDS-1"));
    EXPECT_THAT(add.out, HasSubstr(missing + ": not recorded: Could not open the spectrum file \"" +
                                   missing + "\".\n"));
    EXPECT_THAT(add.out, HasSubstr(undated + ": not recorded: the file has no acquisition time "
                                             "(DATE and TIME); give it with --acquired\n"));

    const ProgramRun dated =
        Qc("add --detector EDS-1 --acquired 2026-02-01T10:30 " + Quoted(undated));
    EXPECT_EQ(dated.status, 0) << dated.out;
    EXPECT_THAT(dated.out, HasSubstr("entry 2 of detector EDS-1, acquired 2026-02-01T10:30:00"));
    const ProgramRun again = Qc("add --detector EDS-1 " + Quoted(good));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, good + ": already recorded as entry 1 of detector EDS-1\n");
    EXPECT_EQ(json::parse(Qc("list --detector EDS-1 --json").out).size(), 2u);

    EXPECT_EQ(
        Qc("add --detector EDS-1 --acquired 2026-02-01 " + Quoted(good) + " " + Quoted(undated))
            .status,
        2)
        << "one --acquired for several files";
    const ProgramRun badTime = Qc("add --detector EDS-1 --acquired 1.2.2026 " + Quoted(undated));
    EXPECT_EQ(badTime.status, 2);
    EXPECT_THAT(badTime.err, HasSubstr("not \"1.2.2026\""));
    EXPECT_EQ(Qc("add " + Quoted(good)).status, 2) << "no detector";
}

TEST_F(XrayUtilsQcTest, UnknownNamesAndMissingLimitsFailWithTheirNames) {
    ASSERT_EQ(Qc("add --detector EDS-1" + Weeks(1, 2)).status, 0);
    const auto expectFailure = [this](const std::string& arguments, int status,
                                      const std::string& message) {
        const ProgramRun run = Qc(arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_THAT(run.err, HasSubstr(message)) << arguments;
    };
    expectFailure("list --detector EDS-9", 1,
                  "xrayutils: no detector called \"EDS-9\" in " + fDatabase + " (it has EDS-1)");
    expectFailure("check --detector EDS-9", 1, "no detector called \"EDS-9\"");
    expectFailure("limits --detector EDS-9 --baseline 5", 1, "no detector called \"EDS-9\"");
    expectFailure("limits --detector EDS-9 --set total_pb.value=1:2", 1, "no detector called");
    expectFailure("reference --detector EDS-1 99", 1, "no entry 99 in " + fDatabase);
    expectFailure("cull 99", 1, "no entry 99 in " + fDatabase);
    expectFailure("limits --detector EDS-1 --set fwhm=120:136", 1,
                  "unknown quantity \"fwhm\"; the tracked quantities are "
                  "energy_resolution.fwhm_mn_ka_ev, ");
    expectFailure("limits --detector EDS-1 --set total_pb.value=high", 2,
                  "--set takes QUANTITY=LOW:HIGH, not \"total_pb.value=high\"");
    expectFailure("limits --detector EDS-1 --set total_pb.value=9:1", 1, "LOW below HIGH");
    expectFailure("limits --detector EDS-1 --baseline 3", 2, "--baseline needs at least 5");
    expectFailure("limits --detector EDS-1 --baseline 5", 1,
                  "detector EDS-1 has 2 entries that are not culled; a baseline of 5 needs 5");
    expectFailure("limits --detector EDS-1 --from 2026-02-01 --to 2026-01-01", 2, "lies after");
    expectFailure("limits --detector EDS-1 --from 2026-01-01", 2, "--to");
    expectFailure("check --detector EDS-1", 1,
                  "detector EDS-1 has no control limits; set them from a baseline with "
                  "\"xrayutils qc limits --detector EDS-1 --baseline N\"");
    EXPECT_EQ(Qc("limits --detector EDS-1 --json").out, "[]\n") << "nothing was set";
}

TEST_F(XrayUtilsQcTest, TheLatestLimitsOfEachQuantityWin) {
    ASSERT_EQ(Qc("add --detector EDS-1" + Weeks(1, 7)).status, 0);
    // Weeks 2 to 6 by date; a day given alone counts to its end.
    const ProgramRun range = Qc("limits --detector EDS-1 --from 2026-01-12 --to 2026-02-09");
    ASSERT_EQ(range.status, 0) << range.err;
    EXPECT_THAT(range.out,
                HasSubstr("The baseline has fewer than 2 values of solid_angle_sr.value, "
                          "detector_efficiency.value, "
                          "normalized_detector_efficiency.value; their limits are left "
                          "as they were.\n"));
    EXPECT_THAT(range.out, HasSubstr("Baseline: from 2026-01-12 to 2026-02-09 (5 entries, "
                                     "2026-01-12T09:00:00 to 2026-02-09T09:00:00)"));

    const ProgramRun set =
        Qc("limits --detector EDS-1 --set energy_resolution.fwhm_mn_ka_ev=120:136 --set "
           "solid_angle_sr.value=0.1:0.14 --json");
    ASSERT_EQ(set.status, 0) << set.err;
    const json limits = json::parse(set.out);
    ASSERT_EQ(limits.size(), 9u);
    EXPECT_EQ(limits[0], (json{{"quantity", "energy_resolution.fwhm_mn_ka_ev"},
                               {"low", 120.0},
                               {"high", 136.0},
                               {"mean", 128.0},
                               {"s", 16.0 / 6},
                               {"source", "set"}}));
    EXPECT_EQ(limits[1]["source"], "baseline");
    EXPECT_EQ(limits[6]["quantity"], "solid_angle_sr.value");
    EXPECT_EQ(limits[6]["source"], "set");

    const json again = json::parse(Qc("limits --detector EDS-1 --baseline 5 --json").out);
    EXPECT_EQ(again[0]["source"], "baseline") << "a new baseline replaces what it covers";
    EXPECT_EQ(again[6]["source"], "set") << "and leaves the rest";
    EXPECT_NE(again[1]["mean"], limits[1]["mean"]) << "weeks 1 to 5, not 2 to 6";
}

TEST_F(XrayUtilsQcTest, DamagedDatabasesAreLeftAsTheyWere) {
    const std::string good = Spectrum(1);
    qctest::WriteBytes(fDatabase, "not a database at all\n");
    ASSERT_EQ(Qc("add --detector EDS-1 " + Quoted(good)).status, 1);

    ASSERT_EQ(RunXrayUtils("qc --db " + Quoted(fFolder + "/newer.sqlite") + " add --detector D " +
                           Quoted(good))
                  .status,
              0);
    {
        xrayutils::SqliteDatabase newer(fFolder + "/newer.sqlite",
                                        xrayutils::SqliteDatabase::Mode::kReadWrite);
        newer.Execute("PRAGMA user_version = 5");
    }
    for (const std::string& path : {fDatabase, fFolder + "/newer.sqlite"}) {
        const std::string bytes = qctest::ReadBytes(path);
        for (const std::string& command :
             {"add --detector EDS-1 " + Quoted(good), std::string("detectors"),
              std::string("list --detector D"), std::string("cull 1"),
              std::string("limits --detector D --set total_pb.value=1:2")}) {
            const ProgramRun run = RunXrayUtils("qc --db " + Quoted(path) + " " + command);
            EXPECT_EQ(run.status, 1) << command;
            EXPECT_THAT(run.err, HasSubstr(path + " is ")) << command;
            EXPECT_THAT(run.err, HasSubstr("; it is left unchanged\n")) << command;
            EXPECT_TRUE(qctest::ReadBytes(path) == bytes) << command << " changed " << path;
        }
    }
    EXPECT_THAT(Qc("detectors").err,
                HasSubstr("is not a QC database: it is not an SQLite database"));
}

TEST_F(XrayUtilsQcTest, TheDefaultDatabaseIsMadeWithItsFolder) {
    const std::string data = fFolder + "/data";
    const auto run = [&](const std::string& environment, const std::string& arguments) {
        return testsupport::RunProgram(
            environment + " " + Quoted(XRAYUTILS_PATH) + " qc " + arguments,
            testsupport::TestFile(".out"), testsupport::TestFile(".err"));
    };
    const ProgramRun read = run("XDG_DATA_HOME=" + Quoted(data), "detectors");
    EXPECT_EQ(read.status, 0);
    EXPECT_FALSE(std::filesystem::exists(data)) << "reading makes nothing";
    const ProgramRun add =
        run("XDG_DATA_HOME=" + Quoted(data), "add --detector EDS-1 " + Quoted(Spectrum(1)));
    ASSERT_EQ(add.status, 0) << add.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(data + "/xrayutils/qc.sqlite"));

    const ProgramRun home = run("XDG_DATA_HOME= HOME=" + Quoted(fFolder + "/home"),
                                "add --detector EDS-1 " + Quoted(Spectrum(1)));
    ASSERT_EQ(home.status, 0) << home.err;
    EXPECT_TRUE(
        std::filesystem::is_regular_file(fFolder + "/home/.local/share/xrayutils/qc.sqlite"));
}

TEST_F(XrayUtilsQcTest, EveryQcCommandAnswersHelp) {
    const ProgramRun qc = RunXrayUtils("qc --help");
    EXPECT_EQ(qc.status, 0);
    for (const char* command :
         {"add", "list", "detectors", "reference", "cull", "limits", "check"}) {
        EXPECT_THAT(qc.out, HasSubstr("\n  " + std::string(command) + " ")) << command;
        const ProgramRun help = RunXrayUtils("qc " + std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_THAT(help.out, HasSubstr("Usage: xrayutils qc " + std::string(command)));
    }
    EXPECT_THAT(RunXrayUtils("--help").out, HasSubstr("\n  qc "));
    EXPECT_EQ(RunXrayUtils("qc").status, 2) << "no qc command";
}

}  // namespace
