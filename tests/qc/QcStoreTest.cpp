// The QC store against temporary databases: what goes in comes back (channels to the bit,
// records, contamination against the chosen reference), duplicates, culling and limits;
// files that are not QC histories are refused and left byte for byte; a writer killed in
// the middle of an entry leaves whole entries only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <functional>

#include "cli/QcStore.h"
#include "tests/qc/QcTestFiles.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

namespace {

using namespace xrayutils;
using qctest::ReadBytes;
using qctest::Week;
using qctest::WeekTime;
using ::testing::HasSubstr;

// Spectra written and evaluated as `qc add` evaluates them, without a thickness.
class QcStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fFolder = qctest::FreshFolder();
        fDatabase = fFolder + "/qc.sqlite";
    }

    const SpectrumEvaluation& Evaluated(const std::string& name,
                                        const xray::NiOxSimulationParameters& p,
                                        const std::string& acquired) {
        const std::string path = qctest::WriteSpectrum(fFolder + "/" + name, p, acquired);
        xray::NiOxSelection selection = xray::NiOxSelection::All();
        selection.solidAngle = selection.detectorEfficiency = false;
        fEvaluations.push_back(
            std::make_unique<SpectrumEvaluation>(EvaluateSpectrumFile(path, selection, {})));
        return *fEvaluations.back();
    }

    QcAddOutcome Add(QcStore& store, const std::string& detector, const SpectrumEvaluation& e,
                     const std::string& acquired) {
        return store.Add(QcNewEntry{detector, acquired, "", &e});
    }

    std::string fFolder;
    std::string fDatabase;
    std::vector<std::unique_ptr<SpectrumEvaluation>> fEvaluations;
};

TEST_F(QcStoreTest, EntriesComeBackInAcquisitionOrderAsTheyWereEvaluated) {
    const SpectrumEvaluation& late = Evaluated("late.msa", Week(3), WeekTime(3));
    const SpectrumEvaluation& early = Evaluated("early.msa", Week(1), WeekTime(1));
    {
        QcStore store(fDatabase, QcStore::Access::kWrite);
        EXPECT_EQ(Add(store, "EDS-1", late, "2026-01-19T09:00:00").id, 1);
        QcNewEntry entry{"EDS-1", "2026-01-05T09:00:00", "after the service", &early};
        const QcAddOutcome outcome = store.Add(entry);
        EXPECT_TRUE(outcome.added);
        EXPECT_EQ(outcome.id, 2);
    }
    QcStore store(fDatabase, QcStore::Access::kRead);
    const std::vector<QcEntry> entries = store.Entries("EDS-1");
    ASSERT_EQ(entries.size(), 2u);
    const QcEntry& first = entries[0];
    EXPECT_EQ(first.id, 2) << "acquired first, recorded second";
    EXPECT_EQ(first.acquired, "2026-01-05T09:00:00");
    EXPECT_EQ(first.note, "after the service");
    EXPECT_EQ(first.file, early.spectrum.file);
    EXPECT_EQ(first.programVersion, XRAY_PROGRAM_VERSION);
    EXPECT_THAT(first.recorded, ::testing::MatchesRegex("20[0-9-]+T[0-9:]+Z"));
    EXPECT_FALSE(first.thickness.has_value());
    EXPECT_EQ(first.record, NiOxRecord(early)) << "the niox record, unchanged";
    EXPECT_TRUE(first.reference) << "the earliest entry";
    EXPECT_EQ(*first.Value("energy_resolution.fwhm_mn_ka_ev").value,
              early.results.energyResolution.result->fwhmMnKa);
    EXPECT_EQ(*first.Value("inverse_hole_count.value").error,
              early.results.inverseHoleCount.result->errors[0]);

    // The channels and calibration to the bit: the entry evaluates again to the same numbers.
    const QcSpectrum spectrum = store.Spectrum(first.id);
    EXPECT_EQ(spectrum.counts, early.spectrum.counts);
    EXPECT_EQ(spectrum.offset, early.spectrum.offset);
    EXPECT_EQ(spectrum.step, early.spectrum.step);
    EXPECT_EQ(spectrum.acquisition.liveTime, 100.0);
    EXPECT_EQ(spectrum.acquisition.voltage, 200.0);
    const xray::NiOxResults again = xray::EvaluateNiOxSpectrum(
        spectrum.AsNiOxSpectrum(), xray::NiOxSelection::All(), spectrum.acquisition);
    EXPECT_EQ(again.energyResolution.result->fwhmMnKa,
              early.results.energyResolution.result->fwhmMnKa);
    EXPECT_EQ(again.moKL.result->ratio, early.results.moKL.result->ratio);

    const std::vector<QcDetector> detectors = store.Detectors();
    ASSERT_EQ(detectors.size(), 1u);
    EXPECT_EQ(detectors[0].name, "EDS-1");
    EXPECT_EQ(detectors[0].entries, 2);
    EXPECT_EQ(detectors[0].first, "2026-01-05T09:00:00");
    EXPECT_EQ(detectors[0].last, "2026-01-19T09:00:00");
    EXPECT_EQ(detectors[0].reference, 2);
}

TEST_F(QcStoreTest, TheSameSpectrumIsRecordedOncePerDetector) {
    const SpectrumEvaluation& e = Evaluated("a.msa", Week(1), WeekTime(1));
    QcStore store(fDatabase, QcStore::Access::kWrite);
    EXPECT_TRUE(Add(store, "EDS-1", e, "2026-01-05T09:00:00").added);
    const QcAddOutcome again = Add(store, "EDS-1", e, "2026-01-05T09:00:00");
    EXPECT_FALSE(again.added);
    EXPECT_EQ(again.id, 1);
    EXPECT_TRUE(Add(store, "EDS-1", e, "2026-01-05T09:00:01").added) << "another time";
    EXPECT_TRUE(Add(store, "EDS-2", e, "2026-01-05T09:00:00").added) << "another detector";
    const SpectrumEvaluation& other = Evaluated("b.msa", Week(2), WeekTime(1));
    EXPECT_TRUE(Add(store, "EDS-1", other, "2026-01-05T09:00:00").added) << "other channels";
    EXPECT_EQ(store.Entries("EDS-1").size(), 3u);
    EXPECT_THROW(Add(store, "", e, "2026-01-05T09:00:00"), QcError);
}

// Ice builds up on the window: 0, 20 and 40 nm more than at first, measured for 1000 s
// each to about 5 nm.
xray::NiOxSimulationParameters LongWeek(int week, double ice) {
    xray::NiOxSimulationParameters p = Week(week, 130.0, ice);
    p.liveTime = 1000.0;
    return p;
}

TEST_F(QcStoreTest, ContaminationIsMeasuredAgainstTheReference) {
    const SpectrumEvaluation& clean = Evaluated("w1.msa", LongWeek(1, 0.0), WeekTime(1));
    const SpectrumEvaluation& some = Evaluated("w2.msa", LongWeek(2, 20.0), WeekTime(2));
    const SpectrumEvaluation& more = Evaluated("w3.msa", LongWeek(3, 40.0), WeekTime(3));
    QcStore store(fDatabase, QcStore::Access::kWrite);
    Add(store, "EDS-1", clean, WeekTime(1) + ":00");
    const int64_t middle = Add(store, "EDS-1", some, WeekTime(2) + ":00").id;
    Add(store, "EDS-1", more, WeekTime(3) + ":00");

    std::vector<QcEntry> entries = store.Entries("EDS-1");
    EXPECT_FALSE(entries[0].contamination.has_value());
    EXPECT_FALSE(entries[0].Value("contamination.ice_nm").value.has_value());
    const xray::Contamination expected = ContaminationAgainst(more.spectrum, clean.spectrum);
    EXPECT_EQ(entries[2].contamination->ice, expected.ice) << "exactly as icec computes it";
    EXPECT_EQ(entries[2].contamination->carbonErrors, expected.carbonErrors);
    EXPECT_EQ(*entries[2].Value("contamination.ice_nm").error, expected.iceErrors[0]);
    EXPECT_NEAR(entries[1].contamination->ice, 20.0, entries[1].contamination->iceErrors[2]);
    EXPECT_NEAR(entries[2].contamination->ice, 40.0, entries[2].contamination->iceErrors[2]);
    EXPECT_LT(entries[2].contamination->iceErrors[2], 20.0);

    store.SetReference("EDS-1", middle);
    entries = store.Entries("EDS-1");
    EXPECT_FALSE(entries[1].contamination.has_value());
    EXPECT_TRUE(entries[1].reference);
    EXPECT_FALSE(entries[0].reference);
    EXPECT_EQ(entries[0].contamination->ice,
              ContaminationAgainst(clean.spectrum, some.spectrum).ice);
    EXPECT_NEAR(entries[0].contamination->ice, -20.0, entries[0].contamination->iceErrors[2])
        << "less ice than the reference";
    EXPECT_EQ(store.Detectors()[0].reference, middle);

    // A chosen reference stays when an earlier spectrum is added.
    const SpectrumEvaluation& earlier = Evaluated("w0.msa", Week(4), "2025-12-29T09:00");
    Add(store, "EDS-1", earlier, "2025-12-29T09:00:00");
    EXPECT_EQ(store.Detectors()[0].reference, middle);

    try {
        store.SetReference("EDS-2", middle);
        FAIL() << "an unknown detector";
    } catch (const QcError& e) {
        EXPECT_THAT(e.what(),
                    HasSubstr("no detector called \"EDS-2\" in " + fDatabase + " (it has EDS-1)"));
    }
    Add(store, "EDS-2", clean, WeekTime(1) + ":00");
    EXPECT_THROW(store.SetReference("EDS-2", middle), QcError) << "an entry of another detector";
    EXPECT_THROW(store.SetReference("EDS-1", 99), QcError);
}

TEST_F(QcStoreTest, CullingAndLimitsPersist) {
    const SpectrumEvaluation& e = Evaluated("a.msa", Week(1), WeekTime(1));
    {
        QcStore store(fDatabase, QcStore::Access::kWrite);
        Add(store, "EDS-1", e, "2026-01-05T09:00:00");
        store.SetCulled(1, true);
        EXPECT_THROW(store.SetCulled(2, true), QcError);
        QcLimit fromBaseline{
            "inverse_hole_count.value", 40, 60, 50, 10.0 / 3, "baseline", 5, "first 5"};
        QcLimit resolution = fromBaseline;
        resolution.quantity = "energy_resolution.fwhm_mn_ka_ev";
        store.SaveLimits("EDS-1", {resolution, fromBaseline});
        store.SaveLimits("EDS-1", {QcLimit{"energy_resolution.fwhm_mn_ka_ev", 120, 136, 128,
                                           16.0 / 6, "set", 0, "set explicitly"}});
        EXPECT_THROW(store.SaveLimits("EDS-9", {fromBaseline}), QcError);
    }
    QcStore store(fDatabase, QcStore::Access::kRead);
    EXPECT_TRUE(store.Entries("EDS-1")[0].culled);
    const std::vector<QcLimit> limits = store.Limits("EDS-1");
    ASSERT_EQ(limits.size(), 2u);
    EXPECT_EQ(limits[0].quantity, "energy_resolution.fwhm_mn_ka_ev") << "in tracked order";
    EXPECT_EQ(limits[0].source, "set") << "the latest setting wins";
    EXPECT_EQ(limits[0].high, 136.0);
    EXPECT_EQ(limits[1].quantity, "inverse_hole_count.value");
    EXPECT_EQ(limits[1].source, "baseline") << "the others keep theirs";
    EXPECT_EQ(limits[1].s, 10.0 / 3);
    EXPECT_EQ(limits[1].count, 5);
    EXPECT_EQ(limits[1].basis, "first 5");
}

TEST_F(QcStoreTest, ANewHistoryIsMadeOnlyWhenWrittenAndAnEmptyFileIsOne) {
    {
        QcStore store(fDatabase, QcStore::Access::kRead);
        EXPECT_TRUE(store.Detectors().empty());
        EXPECT_THROW(store.Entries("EDS-1"), QcError);
    }
    EXPECT_FALSE(std::filesystem::exists(fDatabase)) << "reading makes no file";

    qctest::WriteBytes(fDatabase, "");
    { QcStore store(fDatabase, QcStore::Access::kRead); }
    EXPECT_EQ(std::filesystem::file_size(fDatabase), 0u);
    {
        QcStore store(fDatabase, QcStore::Access::kWrite);
        Add(store, "EDS-1", Evaluated("a.msa", Week(1), WeekTime(1)), "2026-01-05T09:00:00");
    }
    QcStore store(fDatabase, QcStore::Access::kRead);
    EXPECT_EQ(store.Entries("EDS-1").size(), 1u);
    EXPECT_EQ(store.Database().QueryText("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(store.Database().QueryInt("PRAGMA foreign_keys"), 1);
    EXPECT_THROW((QcStore{fFolder + "/no/such/folder/qc.sqlite", QcStore::Access::kWrite}),
                 QcError);
}

TEST(QcStoreDefaultPathTest, XdgDataHomeFirstThenHome) {
    EXPECT_EQ(DefaultQcDatabasePath("/data", "/home/u"), "/data/xrayutils/qc.sqlite");
    EXPECT_EQ(DefaultQcDatabasePath(nullptr, "/home/u"),
              "/home/u/.local/share/xrayutils/qc.sqlite");
    EXPECT_EQ(DefaultQcDatabasePath("", "/home/u"), "/home/u/.local/share/xrayutils/qc.sqlite");
    EXPECT_EQ(DefaultQcDatabasePath("relative", "/home/u"),
              "/home/u/.local/share/xrayutils/qc.sqlite")
        << "a relative XDG_DATA_HOME is ignored";
    EXPECT_THROW(DefaultQcDatabasePath(nullptr, nullptr), QcError);
}

// ---- Files that are not QC histories: each refused with its message, left as it was.

class QcDamagedFileTest : public QcStoreTest {
  protected:
    // A QC history of two entries.
    std::string MakeHistory() {
        QcStore store(fDatabase, QcStore::Access::kWrite);
        Add(store, "EDS-1", Evaluated("a.msa", Week(1), WeekTime(1)), "2026-01-05T09:00:00");
        Add(store, "EDS-1", Evaluated("b.msa", Week(2), WeekTime(2)), "2026-01-12T09:00:00");
        return ReadBytes(fDatabase);
    }

    // Opening `fDatabase` for reading and for writing fails with `message`, and the file
    // keeps `bytes`.
    void ExpectRefused(const std::string& bytes, const std::string& message) {
        qctest::WriteBytes(fDatabase, bytes);
        for (QcStore::Access access : {QcStore::Access::kRead, QcStore::Access::kWrite}) {
            try {
                QcStore store(fDatabase, access);
                ADD_FAILURE() << "opened";
            } catch (const QcError& e) {
                EXPECT_THAT(e.what(), HasSubstr(message));
                EXPECT_THAT(e.what(), HasSubstr(fDatabase));
                EXPECT_THAT(e.what(), HasSubstr("it is left unchanged"));
            }
            EXPECT_TRUE(ReadBytes(fDatabase) == bytes) << "the file changed";
        }
    }
};

TEST_F(QcDamagedFileTest, GarbageIsNotAnSqliteDatabase) {
    ExpectRefused("date,fwhm\n2026-01-05,130.2\n", "is not a QC database: it is not an SQLite");
    ExpectRefused(std::string("SQLite format 3\0", 16) + "short", "it is not an SQLite database");
    EXPECT_FALSE(std::filesystem::exists(fDatabase + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(fDatabase + "-journal"));
}

TEST_F(QcDamagedFileTest, AnotherProgramsDatabaseIsNotTouched) {
    {
        SqliteDatabase other(fDatabase, SqliteDatabase::Mode::kReadWriteCreate);
        other.Execute("CREATE TABLE entries (id INTEGER PRIMARY KEY, name TEXT)");
        other.Execute("INSERT INTO entries (name) VALUES ('mine')");
    }
    ExpectRefused(ReadBytes(fDatabase), "is an SQLite database of another program");
    {
        std::filesystem::remove(fDatabase);
        SqliteDatabase empty(fDatabase, SqliteDatabase::Mode::kReadWriteCreate);
        empty.Execute("PRAGMA user_version = 7");  // an SQLite file without tables
    }
    ExpectRefused(ReadBytes(fDatabase), "is an SQLite database of another program");
    EXPECT_FALSE(std::filesystem::exists(fDatabase + "-wal"));
}

TEST_F(QcDamagedFileTest, AHistoryOfANewerVersionIsNotTouched) {
    MakeHistory();
    {
        SqliteDatabase newer(fDatabase, SqliteDatabase::Mode::kReadWrite);
        newer.Execute("PRAGMA journal_mode = DELETE");
        newer.Execute("PRAGMA user_version = 2");
    }
    ExpectRefused(
        ReadBytes(fDatabase),
        "is a QC database of a newer xrayutils (schema version 2; this one reads up to 1)");
}

TEST_F(QcDamagedFileTest, ATruncatedHistoryIsDamaged) {
    const std::string whole = MakeHistory();
    ASSERT_GT(whole.size(), 8192u);
    ExpectRefused(whole.substr(0, whole.size() / 2), "is a damaged QC database");
    ExpectRefused(whole.substr(0, whole.size() - 4096), "is a damaged QC database");
    ExpectRefused(whole.substr(0, 60), "it is not an SQLite database");
}

TEST_F(QcDamagedFileTest, AFolderIsNotADatabase) {
    std::filesystem::create_directory(fDatabase);
    EXPECT_THROW((QcStore{fDatabase, QcStore::Access::kWrite}), QcError);
    EXPECT_TRUE(std::filesystem::is_directory(fDatabase));
}

#ifndef _WIN32
// The child adds an entry and stops inside its transaction, right after the entry's row is
// written, until it is killed: the history must keep the earlier entry only, open, and take
// the lost entry again.
TEST_F(QcStoreTest, AWriterKilledInsideItsTransactionLeavesWholeEntries) {
    const SpectrumEvaluation& first = Evaluated("a.msa", Week(1), WeekTime(1));
    const SpectrumEvaluation& second = Evaluated("b.msa", Week(2), WeekTime(2));
    {
        QcStore store(fDatabase, QcStore::Access::kWrite);
        Add(store, "EDS-1", first, "2026-01-05T09:00:00");
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        static int readyPipe = -1;
        readyPipe = ready[1];
        try {
            QcStore store(fDatabase, QcStore::Access::kWrite);
            sqlite3_update_hook(
                store.Database().Handle(),
                [](void*, int, const char*, const char* table, sqlite3_int64) {
                    if (std::string(table) != "entries")
                        return;
                    const char byte = 'x';
                    (void)!write(readyPipe, &byte, 1);
                    for (;;)
                        pause();
                },
                nullptr);
            Add(store, "EDS-1", second, "2026-01-12T09:00:00");
        } catch (...) {
        }
        _exit(1);  // the entry was written without stopping: the parent sees no byte
    }
    close(ready[1]);
    char byte = 0;
    const bool stopped = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(stopped) << "the child never reached the entry's row";
    ASSERT_TRUE(WIFSIGNALED(status));

    QcStore store(fDatabase, QcStore::Access::kWrite);
    std::vector<QcEntry> entries = store.Entries("EDS-1");
    ASSERT_EQ(entries.size(), 1u) << "the half-written entry is gone";
    EXPECT_EQ(entries[0].record, NiOxRecord(first));
    EXPECT_EQ(store.Database().QueryInt("SELECT count(*) FROM entries"), 1);
    EXPECT_TRUE(Add(store, "EDS-1", second, "2026-01-12T09:00:00").added);
    EXPECT_EQ(store.Entries("EDS-1").size(), 2u);
}
#endif

}  // namespace
