// Hostile spectrum files through Zor_EMSAtoDM, as a script calls it on the built module in
// the stand-in host. Every case runs in a child process bounded to one second and 100 MB
// (BoundedRun.h) and must end in a clear error or a defined image, and give back every
// reference and lock it took.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "emsa/EMSAReader.h"
#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "tests/hostile/BoundedRun.h"
#include "tests/import/SpectrumFiles.h"

namespace {

using dmhost::ObjectClass;
using dmhost::ScriptValue;
using importtest::HeaderLine;
using importtest::SpectrumText;

constexpr char kSeparator = '\x1f';
constexpr size_t kShownValues = 16;
const char kNotASpectrum[] = "is not an EMSA/MAS spectrum";
const char kNoElements[] = "CreateReal1DImage: cannot create an image with 0 elements.";

// What the script saw, and what the call left behind.
struct Outcome {
    std::string failure;  // the child's own end, when it did not finish in bounds
    bool failed = false;
    std::string error;
    std::string results;
    std::vector<double> values;  // the image's first elements (at most 16), and its last
    size_t count = 0;            // the image's element count
    std::string name;
    std::string held;  // references or locks left over, described
};

std::string Serialise(const Outcome& o) {
    std::ostringstream out;
    out.precision(17);
    out << o.failed << kSeparator << o.error << kSeparator << o.results << kSeparator << o.name
        << kSeparator << o.held << kSeparator << o.count << kSeparator;
    for (double value : o.values)
        out << value << ' ';
    return out.str();
}

Outcome Parse(const std::string& text) {
    std::istringstream in(text);
    Outcome o;
    std::string failed, count, values;
    std::getline(in, failed, kSeparator);
    std::getline(in, o.error, kSeparator);
    std::getline(in, o.results, kSeparator);
    std::getline(in, o.name, kSeparator);
    std::getline(in, o.held, kSeparator);
    std::getline(in, count, kSeparator);
    o.count = std::strtoul(count.c_str(), nullptr, 10);
    std::getline(in, values);
    o.failed = failed == "1";
    std::istringstream numbers(values);
    for (std::string number; numbers >> number;)
        o.values.push_back(std::strtod(number.c_str(), nullptr));
    return o;
}

// References on images, tag groups, strings and throwables, locks and contexts: what a
// call may not keep. (The module caches host functions between calls by design.)
std::string HeldObjects(const dmhost::StandInHost& host) {
    const dmhost::AuditSnapshot audit = host.Audit();
    std::string held;
    for (ObjectClass c : {ObjectClass::kImage, ObjectClass::kTagGroup, ObjectClass::kString,
                          ObjectClass::kThrowable}) {
        if (audit.References(c) != 0)
            held += std::string(dmhost::ObjectClassName(c)) + " ";
    }
    if (audit.imageLocks != 0 || audit.stringLocks != 0 || audit.openContexts != 0)
        held += "locks or contexts ";
    for (const std::string& error : host.AuditErrors())
        held += error + " ";
    return held;
}

class HostileFileTest : public ::testing::Test {
  protected:
    HostileFileTest() : fModule(fHost, ZORXRAYUTILS_MODULE_PATH) {}

    void TearDown() override {
        fModule.Close();
        EXPECT_EQ(HeldObjects(fHost), "");
    }

    // Zor_EMSAtoDM on the path, in a bounded child.
    Outcome Import(const std::string& path) {
        const hostiletest::BoundedAnswer answer =
            hostiletest::RunBounded([&] { return Serialise(ImportHere(path)); });
        Outcome outcome = Parse(answer.text);
        outcome.failure = answer.failure;
        EXPECT_EQ(outcome.failure, "") << path;
        EXPECT_EQ(outcome.held, "") << path;
        return outcome;
    }

    Outcome ImportText(const std::string& text) {
        return Import(fFiles.Write("hostile.msa", text));
    }

    // The error the script saw; the call must have failed and returned no image.
    std::string ErrorOf(const std::string& text) {
        return ErrorAt(fFiles.Write("hostile.msa", text));
    }
    std::string ErrorAt(const std::string& path) {
        const Outcome outcome = Import(path);
        EXPECT_TRUE(outcome.failed) << path;
        EXPECT_TRUE(outcome.values.empty()) << path;
        return outcome.error;
    }

    // The image's elements (for long images the first few and the last); the call must
    // have succeeded.
    std::vector<double> ValuesOf(const std::string& text) {
        const Outcome outcome = ImportText(text);
        EXPECT_FALSE(outcome.failed) << outcome.error;
        return outcome.values;
    }

    static std::string Spectrum(int32_t npoints, const std::vector<std::string>& values) {
        return SpectrumText({{"NPOINTS", std::to_string(npoints)}, {"NCOLUMNS", "1"}}, values);
    }

    dmhost::StandInHost fHost;
    dmhost::HostedModule fModule;
    importtest::SpectrumFolder fFiles;

  private:
    Outcome ImportHere(const std::string& path) {
        Outcome outcome;
        {
            const dmhost::ScriptResult result =
                fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::String(path)});
            outcome.failed = result.failed;
            outcome.error = result.error;
            if (result.value) {
                const dmhost::ImageSnapshot image = fHost.ReadImage(result.value.get());
                outcome.count = image.values.size();
                const size_t shown = std::min<size_t>(image.values.size(), kShownValues);
                outcome.values.assign(image.values.begin(), image.values.begin() + shown);
                if (shown < image.values.size())
                    outcome.values.push_back(image.values.back());
                outcome.name = image.name;
            }
        }
        outcome.results = fHost.ResultsText();
        outcome.held = HeldObjects(fHost);
        return outcome;
    }
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// ---- Content that is not a spectrum ----------------------------------------------------

TEST_F(HostileFileTest, BinaryGarbageIsNotASpectrum) {
    std::mt19937 generator(8);
    std::string garbage(1 << 16, '\0');
    for (char& c : garbage)
        c = static_cast<char>(generator());
    EXPECT_TRUE(Contains(ErrorOf(garbage), kNotASpectrum));
}

TEST_F(HostileFileTest, EmptyFileIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(""), kNotASpectrum));
}

TEST_F(HostileFileTest, OnlyLineFeedsAreNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(std::string(1 << 20, '\n')), kNotASpectrum));
}

TEST_F(HostileFileTest, DataWithoutHeaderIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf("1\n2\n3\n4\n"), kNotASpectrum));
}

TEST_F(HostileFileTest, HeaderWithoutSpectrumLineIsNotASpectrum) {
    EXPECT_TRUE(Contains(
        ErrorOf(HeaderLine("FORMAT", "EMSA/MAS Spectral Data File") + HeaderLine("NPOINTS", "3")),
        kNotASpectrum));
}

TEST_F(HostileFileTest, TenMegabyteLineWithoutLineFeedIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(std::string(10 << 20, 'x')), kNotASpectrum));
}

TEST_F(HostileFileTest, FileCutInsideTheHeaderIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(HeaderLine("FORMAT", "EMSA/MAS") + "#NPOI"), kNotASpectrum));
}

// ---- A header, then no usable data -----------------------------------------------------

TEST_F(HostileFileTest, HeaderWithoutDataGivesZeroChannels) {
    EXPECT_EQ(ValuesOf(HeaderLine("NPOINTS", "3") + HeaderLine("SPECTRUM", "")),
              (std::vector<double>{0, 0, 0}));
}

TEST_F(HostileFileTest, TenMegabyteDataLineGivesItsFirstNumber) {
    const std::vector<double> values = ValuesOf(Spectrum(2, {"7 " + std::string(10 << 20, '8')}));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], 7.0);
}

TEST_F(HostileFileTest, NulBytesInTheDataEndTheirNumbers) {
    EXPECT_EQ(ValuesOf(Spectrum(3, {std::string("1\0"
                                                "9",
                                                3),
                                    std::string("\0", 1), "3"})),
              (std::vector<double>{1, 1, 3}));
}

TEST_F(HostileFileTest, NulBytesInTheHeaderSpoilOnlyTheirLine) {
    const std::string text = HeaderLine("NPOINTS", "2") + std::string("#TITLE\0\0\0   : x\n", 17) +
                             HeaderLine("SPECTRUM", "") + "5\n6\n";
    EXPECT_EQ(ValuesOf(text), (std::vector<double>{5, 6}));
}

// Cut after a digit, the number read so far counts; cut inside its exponent, it is no
// number (as a stream reads it) and the channel repeats the one before.
TEST_F(HostileFileTest, FileCutInsideANumberEndsTheData) {
    const std::string text = Spectrum(3, {"10", "20", "31.5e+2"});
    const size_t cut = text.find("31.5e+2");
    EXPECT_EQ(ValuesOf(text.substr(0, cut + 2)), (std::vector<double>{10, 20, 31}));
    EXPECT_EQ(ValuesOf(text.substr(0, cut + 6)), (std::vector<double>{10, 20, 20}));
}

// ---- NPOINTS ---------------------------------------------------------------------------

TEST_F(HostileFileTest, NegativeChannelCountIsRefused) {
    EXPECT_TRUE(Contains(ErrorOf(Spectrum(-5, {"1"})), "negative number of channels (NPOINTS -5)"));
}

TEST_F(HostileFileTest, ChannelCountAboveTheCeilingIsRefused) {
    EXPECT_TRUE(Contains(ErrorOf(Spectrum(2000000, {"1"})), "at most 1048576 can be read"));
}

TEST_F(HostileFileTest, ChannelCountNoIntCanHoldIsUnreadable) {
    EXPECT_EQ(ErrorOf(SpectrumText({{"NPOINTS", "99999999999999999999"}}, {"1"})), kNoElements);
}

// A file of a few bytes that asks for the largest channel count used to take some
// 330 MB and seconds, the last line repeated into every channel.
TEST_F(HostileFileTest, ChannelCountAtTheCeilingStaysWithinBounds) {
    const Outcome outcome = ImportText(Spectrum(1048576, {"4"}));
    EXPECT_FALSE(outcome.failed) << outcome.error;
    EXPECT_EQ(outcome.count, 1048576u);
    EXPECT_EQ(outcome.values.back(), 4.0);
}

// Missing data lines repeat the last line. Each channel used to scan that line anew, so a
// long last line and a large NPOINTS cost their product (hours for these files).
TEST_F(HostileFileTest, LongLastLineRepeatedIntoEveryChannelStaysWithinBounds) {
    const std::string last = "4" + std::string(100000, ' ');
    const std::vector<std::pair<std::string, importtest::Header>> layouts = {
        {"one column", {{"NPOINTS", "1048576"}, {"NCOLUMNS", "1"}}},
        {"x,y pairs", {{"NPOINTS", "1048576"}, {"DATATYPE", "XY"}}},
        {"two columns", {{"NPOINTS", "1048575"}, {"NCOLUMNS", "2"}}}};
    for (const auto& [layout, header] : layouts) {
        const std::string line = layout == "x,y pairs" ? "1, " + last : last;
        const Outcome outcome = ImportText(SpectrumText(header, {"3", line}));
        EXPECT_FALSE(outcome.failed) << layout << ": " << outcome.error;
        EXPECT_EQ(outcome.values.back(), 4.0) << layout;
    }
}

// Lines are found by looking for a line feed first. In a text that ends its lines with
// carriage returns only, a search for a line feed that ran to the end of what was read
// would cost every line the rest of the text: hours for a text held whole in memory, a
// block's length per line for a file. Both are read here within the bounds.
TEST_F(HostileFileTest, ManyLinesEndedByCarriageReturnsOnlyStayWithinBounds) {
    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"1", "7\r"}, {"XY", "1, 7\r"}, {"2", "7, 7\r"}};
    for (const auto& [layout, line] : layouts) {
        std::string text = HeaderLine("NPOINTS", "1000000") +
                           HeaderLine(layout == "XY" ? "DATATYPE" : "NCOLUMNS", layout) +
                           HeaderLine("SPECTRUM", "");
        for (int i = 0; i < 1000000; ++i)
            text += line;
        const Outcome outcome = ImportText(text);
        EXPECT_FALSE(outcome.failed) << layout << ": " << outcome.error;
        EXPECT_EQ(outcome.values.back(), 7.0) << layout;

        const hostiletest::BoundedAnswer inMemory = hostiletest::RunBounded([&] {
            const xray::EMSASpectrum s = xray::ReadSpectrum(xray::SpectrumText{"cr.msa", text});
            return std::to_string(s.channels[s.npoints - 1]);
        });
        EXPECT_EQ(inMemory.failure, "") << layout;
        EXPECT_EQ(inMemory.text, "7.000000") << layout;
    }
}

TEST_F(HostileFileTest, MissingChannelCountAsksForAnEmptyImage) {
    EXPECT_EQ(ErrorOf(SpectrumText({{"NCOLUMNS", "1"}}, {"1", "2"})), kNoElements);
}

TEST_F(HostileFileTest, NonNumericChannelCountAsksForAnEmptyImage) {
    EXPECT_EQ(ErrorOf(SpectrumText({{"NPOINTS", "many"}}, {"1", "2"})), kNoElements);
}

TEST_F(HostileFileTest, OddColumnCountsStillReadEveryChannel) {
    for (const char* columns : {"0", "-3", "2147483647", "x"}) {
        const std::vector<double> values =
            ValuesOf(SpectrumText({{"NPOINTS", "4"}, {"NCOLUMNS", columns}}, {"1", "2", "3", "4"}));
        EXPECT_EQ(values.size(), 4u) << "NCOLUMNS " << columns;
    }
}

// ---- Values ----------------------------------------------------------------------------

TEST_F(HostileFileTest, NotANumberIsKeptAsNotANumber) {
    const std::vector<double> values = ValuesOf(Spectrum(2, {"nan", "1"}));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_TRUE(std::isnan(values[0]) || values[0] == 0.0) << values[0];
    EXPECT_EQ(values[1], 1.0);
}

TEST_F(HostileFileTest, InfinityAndOverflowAreDefined) {
    const std::vector<double> values = ValuesOf(Spectrum(3, {"inf", "1e400", "-1e400"}));
    ASSERT_EQ(values.size(), 3u);
    for (double value : values)
        EXPECT_FALSE(std::isnan(value));
}

TEST_F(HostileFileTest, NegativeZeroIsZero) {
    EXPECT_EQ(ValuesOf(Spectrum(2, {"-0", "-0.0e0"})), (std::vector<double>{0, 0}));
}

TEST_F(HostileFileTest, TenThousandDigitsAreOneNumber) {
    const std::vector<double> values = ValuesOf(
        Spectrum(2, {"1" + std::string(10000, '0'), "0." + std::string(10000, '0') + "1"}));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_FALSE(std::isnan(values[0]));
    EXPECT_FALSE(std::isnan(values[1]));
}

TEST_F(HostileFileTest, UnusableCalibrationStillGivesAnImage) {
    for (const char* width : {"0", "nan", "-1e400", "1e400"}) {
        const Outcome outcome = ImportText(
            SpectrumText({{"NPOINTS", "2"}, {"NCOLUMNS", "1"}, {"XPERCHAN", width}}, {"1", "2"}));
        EXPECT_FALSE(outcome.failed) << width << ": " << outcome.error;
        EXPECT_EQ(outcome.values, (std::vector<double>{1, 2})) << width;
    }
}

// ---- Field lengths ---------------------------------------------------------------------

TEST_F(HostileFileTest, VeryLongKeywordIsIgnored) {
    const std::string text = HeaderLine("NPOINTS", "2") + "#" + std::string(1 << 20, 'K') +
                             " : value\n" + HeaderLine("SPECTRUM", "") + "1\n2\n";
    EXPECT_EQ(ValuesOf(text), (std::vector<double>{1, 2}));
}

TEST_F(HostileFileTest, VeryLongTextValueIsKept) {
    const std::string title(1 << 20, 'T');
    EXPECT_EQ(ValuesOf(SpectrumText({{"NPOINTS", "1"}, {"TITLE", title}}, {"9"})),
              (std::vector<double>{9}));
}

TEST_F(HostileFileTest, VeryLongNumericValueIsANumberOrIgnored) {
    const std::string digits = "0." + std::string(1 << 20, '0') + "1";
    EXPECT_EQ(ValuesOf(SpectrumText({{"NPOINTS", "1"}, {"XPERCHAN", digits}}, {"9"})),
              (std::vector<double>{9}));
}

TEST_F(HostileFileTest, HundredThousandHeaderLinesAreRead) {
    std::string text = HeaderLine("NPOINTS", "1");
    for (int i = 0; i < 100000; ++i)
        text += HeaderLine("COMMENT", "line " + std::to_string(i));
    EXPECT_EQ(ValuesOf(text + HeaderLine("SPECTRUM", "") + "3\n"), (std::vector<double>{3}));
}

// ---- Encodings -------------------------------------------------------------------------

TEST_F(HostileFileTest, Utf8ByteOrderMarkSpoilsOnlyTheFirstLine) {
    EXPECT_EQ(ValuesOf("\xEF\xBB\xBF" + Spectrum(2, {"1", "2"})), (std::vector<double>{1, 2}));
}

std::string Utf16(const std::string& text, bool bigEndian) {
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        wide += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
    }
    return wide;
}

TEST_F(HostileFileTest, Utf16LittleEndianIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(Utf16(Spectrum(2, {"1", "2"}), false)), kNotASpectrum));
}

TEST_F(HostileFileTest, Utf16BigEndianIsNotASpectrum) {
    EXPECT_TRUE(Contains(ErrorOf(Utf16(Spectrum(2, {"1", "2"}), true)), kNotASpectrum));
}

// ---- Paths -----------------------------------------------------------------------------

void ExpectUnableToOpen(const Outcome& outcome, const std::string& path) {
    EXPECT_EQ(outcome.results, "FAIL : Unable to open " + path + "!\n");
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.error, kNoElements);
}

TEST_F(HostileFileTest, DirectoryCannotBeOpened) {
    const std::string path = fFiles.PathOf("");
    ExpectUnableToOpen(Import(path), path);
}

TEST_F(HostileFileTest, MissingPathCannotBeOpened) {
    const std::string path = fFiles.PathOf("missing.msa");
    ExpectUnableToOpen(Import(path), path);
}

TEST_F(HostileFileTest, EmptyPathCannotBeOpened) {
    ExpectUnableToOpen(Import(""), "");
}

TEST_F(HostileFileTest, UnreadableFileCannotBeOpened) {
    const std::string path = fFiles.Write("locked.msa", Spectrum(1, {"5"}));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (access(path.c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user reads every file (root)";
    ExpectUnableToOpen(Import(path), path);
}

// A FIFO would block the open until someone writes; a device never ends. Neither is a file.
TEST_F(HostileFileTest, NamedPipeCannotBeOpened) {
    const std::string path = fFiles.PathOf("pipe.msa");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    ExpectUnableToOpen(Import(path), path);
}

TEST_F(HostileFileTest, EndlessDeviceCannotBeOpened) {
    ExpectUnableToOpen(Import("/dev/zero"), "/dev/zero");
}

TEST_F(HostileFileTest, FileThatOpensButCannotBeReadIsAReadingError) {
    const std::string error = ErrorAt("/proc/self/mem");
    EXPECT_TRUE(Contains(error, "/proc/self/mem")) << error;
}

TEST_F(HostileFileTest, PathWithNonAsciiBytesIsImported) {
    for (const std::string name : {"sp\xC3\xA9"
                                   "ctre",
                                   "sp\xE9"
                                   "ctre",
                                   "\xFF\xFE"}) {
        const Outcome outcome = Import(fFiles.Write(name + ".msa", Spectrum(1, {"5"})));
        EXPECT_FALSE(outcome.failed) << outcome.error;
        EXPECT_EQ(outcome.name, name);
        EXPECT_EQ(outcome.values, (std::vector<double>{5}));
    }
}

}  // namespace
