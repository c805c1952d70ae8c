// `qc add` processes at the same time on one history, and one killed in the middle of a
// batch: nothing recorded is lost, no entry is recorded twice or in part, and the history
// opens afterwards. The processes are started and killed with fork, exec and kill.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <set>
#include <thread>

#include "cli/QcStore.h"
#include "tests/qc/QcTestFiles.h"

namespace {

using namespace xrayutils;
using qctest::Week;
using qctest::WeekTime;
using ::testing::HasSubstr;

// Starts `xrayutils qc --db DATABASE add --detector EDS-1 FILES...` with both its outputs
// going to `output`.
pid_t StartAdd(const std::string& database, const std::vector<std::string>& files,
               const std::string& output) {
    std::vector<std::string> arguments = {XRAYUTILS_PATH, "qc",         "--db", database,
                                          "add",          "--detector", "EDS-1"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const pid_t child = fork();
    if (child != 0)
        return child;
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(XRAYUTILS_PATH, argv.data());
    _exit(127);
}

int ExitStatus(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class QcProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fFolder = qctest::FreshFolder();
        fDatabase = fFolder + "/qc.sqlite";
    }

    std::vector<std::string> Spectra(int first, int last) {
        std::vector<std::string> files;
        for (int week = first; week <= last; ++week)
            files.push_back(qctest::WriteSpectrum(fFolder + "/week" + std::to_string(week) + ".msa",
                                                  Week(week), WeekTime(week)));
        return files;
    }

    // Every entry is whole: its record and all its channels are there.
    std::vector<QcEntry> WholeEntries() {
        QcStore store(fDatabase, QcStore::Access::kRead);
        std::vector<QcEntry> entries = store.Entries("EDS-1");
        for (const QcEntry& entry : entries) {
            EXPECT_TRUE(entry.record.contains("energy_resolution")) << entry.id;
            EXPECT_EQ(store.Spectrum(entry.id).counts.size(), 2048u) << entry.id;
        }
        return entries;
    }

    std::string fFolder;
    std::string fDatabase;
};

// Two processes start together on a history that does not exist yet; weeks 9 to 16 are in
// both batches, so each of them is recorded by one and found by the other.
TEST_F(QcProcessTest, TwoWritersAtOnceBothSucceedAndLoseNothing) {
    const std::vector<std::string> all = Spectra(1, 24);
    const std::vector<std::string> first(all.begin(), all.begin() + 16);
    const std::vector<std::string> second(all.begin() + 8, all.end());
    const pid_t a = StartAdd(fDatabase, first, fFolder + "/a.out");
    const pid_t b = StartAdd(fDatabase, second, fFolder + "/b.out");
    const int statusA = ExitStatus(a);
    const int statusB = ExitStatus(b);
    const std::string outA = qctest::ReadBytes(fFolder + "/a.out");
    const std::string outB = qctest::ReadBytes(fFolder + "/b.out");
    EXPECT_EQ(statusA, 0) << outA;
    EXPECT_EQ(statusB, 0) << outB;

    const std::vector<QcEntry> entries = WholeEntries();
    ASSERT_EQ(entries.size(), 24u);
    std::set<std::string> files;
    for (size_t k = 0; k < entries.size(); ++k) {
        files.insert(entries[k].file);
        EXPECT_EQ(entries[k].acquired, WeekTime(static_cast<int>(k) + 1) + ":00");
    }
    EXPECT_EQ(files, std::set<std::string>(all.begin(), all.end()));
    const auto lines = [](const std::string& text, const std::string& part) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(lines(outA, ": entry ") + lines(outB, ": entry "), 24u);
    EXPECT_EQ(
        lines(outA, ": already recorded as entry ") + lines(outB, ": already recorded as entry "),
        8u);
}

// The writer is killed as soon as its first entry can be seen, in the middle of recording
// its first group of spectra; the history keeps whole entries, opens, and takes the rest.
TEST_F(QcProcessTest, AWriterKilledMidBatchLeavesWholeEntries) {
    const std::vector<std::string> files = Spectra(1, 40);
    const pid_t writer = StartAdd(fDatabase, files, fFolder + "/killed.out");
    int64_t seen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (seen == 0 && std::chrono::steady_clock::now() < deadline) {
        try {
            SqliteDatabase look(fDatabase, SqliteDatabase::Mode::kReadWrite);
            look.SetBusyTimeout(1000);
            seen = look.QueryInt("SELECT count(*) FROM entries");
        } catch (const SqliteError&) {  // not there yet, or no tables yet
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_GT(seen, 0) << "no entry appeared";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer finished before it was killed";

    const size_t kept = WholeEntries().size();
    EXPECT_GE(kept, 1u);
    EXPECT_LT(kept, files.size());

    const pid_t again = StartAdd(fDatabase, files, fFolder + "/again.out");
    ASSERT_EQ(ExitStatus(again), 0) << qctest::ReadBytes(fFolder + "/again.out");
    EXPECT_EQ(WholeEntries().size(), files.size());
    EXPECT_THAT(qctest::ReadBytes(fFolder + "/again.out"),
                HasSubstr(files[0] + ": already recorded as entry 1 of detector EDS-1\n"));
}

}  // namespace
#endif
