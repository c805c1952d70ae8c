// Reader tests as fault stories: each damages one thing in an otherwise sound file and
// states what the record holds afterwards, or what the microscopist is told.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "emsa/EMSAReader.h"
#include "emsa/NumberScanner.h"

namespace xray {

namespace {

const std::string kFixtures = EMSA_FIXTURE_DIR;

// One header line in the standard columns: keyword field padded to column 13.
std::string Line(const std::string& field, const std::string& value) {
    std::string line = "#" + field;
    line.resize(13, ' ');
    return line + ": " + value + "\n";
}

std::string Header(std::initializer_list<std::pair<const char*, const char*>> fields) {
    std::string text = Line("FORMAT", "EMSA/MAS Spectral Data File");
    for (const auto& [field, value] : fields)
        text += Line(field, value);
    return text + Line("SPECTRUM", "Spectral Data Starts Here");
}

EMSASpectrum Read(const std::string& text) {
    return ReadSpectrum({"story.msa", text});
}

std::vector<double> Channels(const EMSASpectrum& s) {
    return std::vector<double>(s.channels.begin(), s.channels.end());
}

EMSASpectrum ReadFixture(const std::string& name) {
    std::optional<SpectrumSource> file = OpenSpectrumFile(kFixtures + "/" + name);
    if (!file)
        ADD_FAILURE() << "cannot open fixture " << name;
    return file ? ReadSpectrum(*file) : EMSASpectrum();
}

std::string ErrorOf(const std::string& text) {
    try {
        Read(text);
    } catch (const SpectrumFileError& e) {
        return e.what();
    }
    return "no error";
}

TEST(EMSAReaderFixtureTest, StandardFileWithEveryHeaderKind) {
    const EMSASpectrum s = ReadFixture("standard.msa");
    EXPECT_EQ(s.title, "NiOx film, 200 kV");
    EXPECT_EQ(s.owner, "A. Microscopist");
    EXPECT_EQ(s.npoints, 12) << "\"12.\" reads as the integer 12";
    EXPECT_EQ(s.ncolumns, 5);
    EXPECT_DOUBLE_EQ(s.xperchan, 0.01);
    EXPECT_DOUBLE_EQ(s.offset, -0.2);
    EXPECT_EQ(s.xunits, "keV");
    EXPECT_EQ(s.yunits, "Counts");
    EXPECT_EQ(s.choffset, 20);
    EXPECT_EQ(s.beamkv, 200.0);
    EXPECT_EQ(s.probecur, 1.5);
    EXPECT_EQ(s.edsdet, EdsDetector::SIUTW);
    EXPECT_EQ(s.window_type, WindowType::Beryllium);
    EXPECT_EQ(s.livetime, 100.0);
    EXPECT_EQ(s.realtime, 120.5);
    EXPECT_EQ(s.acquired.day, 5);
    EXPECT_EQ(s.acquired.month, 0);
    EXPECT_EQ(s.acquired.year, 2010);
    EXPECT_EQ(s.acquired.hour, 9);
    EXPECT_EQ(s.acquired.minute, 5);
    EXPECT_EQ(s.acquired.second, 3);
    EXPECT_EQ(s.comments, (std::vector<std::string>{"first comment", "second: with a colon"}));
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(EMSAReaderFixtureTest, LineEndingsDoNotChangeTheRecord) {
    const EMSASpectrum lf = ReadFixture("standard.msa");
    for (const char* name : {"standard_crlf.msa", "standard_cr.msa"}) {
        const EMSASpectrum other = ReadFixture(name);
        EXPECT_EQ(other.title, lf.title) << name;
        EXPECT_EQ(other.comments, lf.comments) << name;
        EXPECT_EQ(other.acquired.second, lf.acquired.second) << name;
        EXPECT_EQ(other.xperchan, lf.xperchan) << name;
        EXPECT_EQ(Channels(other), Channels(lf)) << name;
    }
}

TEST(EMSAReaderFixtureTest, CompactLayout) {
    const EMSASpectrum s = ReadFixture("compact.msa");
    EXPECT_EQ(s.title, "Ni film");
    EXPECT_EQ(s.npoints, 6) << "the column rule would have read 1 from \"21.\"-style values";
    EXPECT_EQ(s.comments, std::vector<std::string>{"fitted by hand"});
    EXPECT_EQ(s.signaltype, SignalType::EDS);
    EXPECT_DOUBLE_EQ(s.offset, -0.1);
    EXPECT_EQ(Channels(s), (std::vector<double>{0.5, 1.5, 2.5, 3.5, 4.5, 5.5}));
}

TEST(EMSAReaderFixtureTest, XYPairsWithCommasOrBlanks) {
    for (const char* name : {"xy_commas.msa", "xy_blanks.msa"}) {
        const EMSASpectrum s = ReadFixture(name);
        EXPECT_TRUE(s.xy) << name;
        EXPECT_EQ(Channels(s), (std::vector<double>{123, 456, -7.5, 800})) << name;
    }
}

TEST(EMSAReaderFixtureTest, LowerCaseKeywords) {
    const EMSASpectrum s = ReadFixture("lowercase.msa");
    EXPECT_EQ(s.npoints, 4);
    EXPECT_EQ(s.signaltype, SignalType::EDS);
    EXPECT_EQ(s.beamkv, 200.0);
    EXPECT_EQ(Channels(s), (std::vector<double>{7, 8, 9, 10}));
}

TEST(EMSAReaderFixtureTest, DataShorterThanNpointsRepeatsTheLastValue) {
    const EMSASpectrum s = ReadFixture("short_data.msa");
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3, 4, 5, 5, 5, 5}));
}

TEST(EMSAReaderFileTest, MissingFileIsReportedAsUnopenable) {
    EXPECT_FALSE(OpenSpectrumFile(kFixtures + "/no such file.msa").has_value());
    EXPECT_FALSE(OpenSpectrumFile(kFixtures).has_value()) << "a folder is no file";
    try {
        ReadSpectrumFile(kFixtures + "/no such file.msa");
        ADD_FAILURE() << "an unopenable file must throw";
    } catch (const SpectrumFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Could not open the spectrum file \"" + kFixtures + "/no such file.msa\".");
    }
}

TEST(EMSAReaderFileTest, FileWithoutSpectrumLineIsRefusedByName) {
    const std::string error = ErrorOf(Line("NPOINTS", "3") + "1\n2\n3\n");
    EXPECT_NE(error.find("\"story.msa\""), std::string::npos) << error;
    EXPECT_NE(error.find("not an EMSA/MAS spectrum"), std::string::npos) << error;
    EXPECT_NE(ErrorOf("").find("not an EMSA/MAS spectrum"), std::string::npos);
}

TEST(EMSAReaderFileTest, NegativeChannelCountIsRefused) {
    const std::string error = ErrorOf(Header({{"NPOINTS", "-5"}}) + "1\n");
    EXPECT_NE(error.find("\"story.msa\""), std::string::npos) << error;
    EXPECT_NE(error.find("negative number of channels (NPOINTS -5)"), std::string::npos) << error;
}

TEST(EMSAReaderFileTest, AbsurdChannelCountIsRefusedBeforeAllocating) {
    const std::string error = ErrorOf(Header({{"NPOINTS", "1048577"}}) + "1\n");
    EXPECT_NE(error.find("1048577 channels"), std::string::npos) << error;
    EXPECT_NE(error.find("at most 1048576"), std::string::npos) << error;
    EXPECT_EQ(ErrorOf(Header({{"NPOINTS", "99999999999"}}) + "1\n"), "no error")
        << "an NPOINTS no int can hold is unreadable, so the count stays 0";
}

TEST(EMSAReaderDataTest, CommentInsideTheDataRepeatsThePreviousChannel) {
    const EMSASpectrum s =
        Read(Header({{"NPOINTS", "4"}, {"NCOLUMNS", "1"}}) + "10\n# glitch\n30\n40\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{10, 10, 30, 40})) << "later data not shifted";
}

TEST(EMSAReaderDataTest, FirstChannelWithoutANumberIsZero) {
    const EMSASpectrum s = Read(Header({{"NPOINTS", "3"}, {"NCOLUMNS", "1"}}) + "n/a\n5\n6\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{0, 5, 6}));
}

TEST(EMSAReaderDataTest, EndOfDataLineAmongTheValues) {
    // NPOINTS promises 6, the file holds 4 values and then the end-of-data marker.
    const EMSASpectrum s = Read(Header({{"NPOINTS", "6"}, {"NCOLUMNS", "1"}}) + "1\n2\n3\n4\n" +
                                Line("ENDOFDATA", ""));
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3, 4, 4, 4}));
}

TEST(EMSAReaderDataTest, MultiColumnDataEndingEarlyRepeatsTheLastLineByColumn) {
    const EMSASpectrum s = Read(Header({{"NPOINTS", "8"}, {"NCOLUMNS", "3"}}) + "1,2,3\n4,5,6");
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3, 4, 5, 6, 4, 5}));
}

TEST(EMSAReaderDataTest, ShortRowInTheMiddleRepeatsItsLastValue) {
    const EMSASpectrum s =
        Read(Header({{"NPOINTS", "9"}, {"NCOLUMNS", "3"}}) + "1, 2, 3,\n4,\n7, 8, 9,\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3, 4, 4, 4, 7, 8, 9}));
}

TEST(EMSAReaderDataTest, BlankSeparatedColumnsKeepEveryDigit) {
    const EMSASpectrum s =
        Read(Header({{"NPOINTS", "7"}, {"NCOLUMNS", "5"}}) + "11 22 33\t44  55\n66 -77\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{11, 22, 33, 44, 55, 66, -77}));
}

TEST(EMSAReaderDataTest, MissingOrNonPositiveNcolumnsMeansOneValuePerLine) {
    for (const char* ncolumns : {"0", "-3"}) {
        const EMSASpectrum s =
            Read(Header({{"NPOINTS", "3"}, {"NCOLUMNS", ncolumns}}) + "1, 100\n2, 200\n3, 300\n");
        EXPECT_EQ(Channels(s), (std::vector<double>{1, 2, 3})) << ncolumns;
    }
    EXPECT_EQ(Channels(Read(Header({{"NPOINTS", "2"}}) + "5\n6\n")), (std::vector<double>{5, 6}));
}

TEST(EMSAReaderDataTest, XYWinsOverNcolumns) {
    const EMSASpectrum s = Read(Header({{"NPOINTS", "2"}, {"NCOLUMNS", "5"}, {"DATATYPE", "XY"}}) +
                                "0.0, 7\n0.01, 8\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{7, 8}));
}

TEST(EMSAReaderDataTest, XYLineWithoutY) {
    const EMSASpectrum s = Read(Header({{"NPOINTS", "3"}, {"DATATYPE", "XY"}}) + "0, 7\n1\n2, 9\n");
    EXPECT_EQ(Channels(s), (std::vector<double>{7, 7, 9}));
}

TEST(EMSAReaderDataTest, NoDataAfterTheSpectrumLine) {
    std::string text = Header({{"NPOINTS", "2"}});
    text.pop_back();  // the SPECTRUM line is the last, without a line end
    EXPECT_EQ(Channels(Read(text)), (std::vector<double>{0, 0}));
    EXPECT_EQ(Read(Header({})).channels.count(), 0);
}

TEST(EMSAReaderDataTest, SurplusAndBlankLinesAfterTheValuesAreIgnored) {
    const EMSASpectrum s = Read(Header({{"NPOINTS", "2"}, {"NCOLUMNS", "1"}}) + "1\n2\n\n\n3\n" +
                                Line("CHECKSUM", ""));
    EXPECT_EQ(Channels(s), (std::vector<double>{1, 2}));
}

TEST(EMSAReaderHeaderTest, EmptyAndShortHeaderLinesDoNotFailTheImport) {
    const EMSASpectrum s = Read("#FORMAT      : EMSA/MAS\n\n#TITLE :\n#OWNER       :\n" +
                                Header({{"NPOINTS", "1"}}) + "42\n");
    EXPECT_EQ(s.title, "");
    EXPECT_EQ(s.owner, "");
    EXPECT_EQ(Channels(s), std::vector<double>{42});
}

TEST(EMSAReaderHeaderTest, HeaderStopsAtTheFirstSpectrumLine) {
    const SpectrumText file{"story.msa", Header({{"NPOINTS", "1"}}) + Line("NPOINTS", "5") + "9\n"};
    SpectrumSource source(file);
    EMSASpectrum s;
    ReadHeader(source, s);
    EXPECT_EQ(s.npoints, 1);
    ReadChannels(source, s);
    EXPECT_EQ(Channels(s), std::vector<double>{0}) << "a header-like line in the data is no number";

    SpectrumSource again(file);
    EMSASpectrum t;
    ReadHeader(again, t);
    std::string_view next;
    ASSERT_TRUE(again.lines().Next(next));
    EXPECT_EQ(next, "#NPOINTS     : 5") << "the header leaves the source at the first data line";
}

// Damage a sound file at random places with the characters that steer the reader; every
// result must be a record with exactly npoints channels or a clear refusal, never a crash
// (the sanitizer build watches for overruns).
TEST(EMSAReaderFuzzTest, RandomDamageGivesARecordOrARefusal) {
    std::ifstream in(kFixtures + "/standard.msa", std::ios::binary);
    const std::string sound{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(sound.empty());
    const std::string steering = "#:- .,eE+0123456789\r\n\tXY";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text = sound;
        for (int edits = 1 + static_cast<int>(random() % 6); edits > 0; --edits) {
            text[random() % text.size()] = steering[random() % steering.size()];
        }
        try {
            const EMSASpectrum s = Read(text);
            ASSERT_EQ(s.channels.count(), s.npoints) << text;
        } catch (const SpectrumFileError& e) {
            ASSERT_NE(std::string(e.what()).find("story.msa"), std::string::npos) << e.what();
        }
    }
}

// The data section of one value per line, read the plain way: every line cut out, its
// number read on its own, a line without one repeating the channel before, the last line
// repeated once the lines run out.
std::vector<double> ReadLineByLine(const std::string& data, int32_t npoints) {
    LineReader lines{std::string_view(data)};
    std::vector<double> channels;
    std::string_view line;
    double y = 0.0;
    for (int32_t i = 0; i < npoints; ++i) {
        lines.Next(line);
        ReadDouble(line, y);
        channels.push_back(y);
    }
    return channels;
}

std::string RandomDataSection(std::mt19937& random) {
    static const char* const kFields[] = {
        "12345.6", "7",   "-0.5", "+.25",  "1e3",   "2.5E-2",
        "  42",    "\t9", "x",    "",      "1e",    "-",
        ".",       "5 6", "3,4",  "00012", "1e400", "123456789012345678901234",
        "4e-320"};
    static const char* const kEnds[] = {"\n", "\r\n", "\r", "\n\n", "\r\r\n"};
    std::string data;
    for (int n = static_cast<int>(random() % 60); n > 0; --n) {
        data += kFields[random() % (sizeof kFields / sizeof kFields[0])];
        if (random() % 9 != 0 || n > 1)
            data += kEnds[random() % (sizeof kEnds / sizeof kEnds[0])];
    }
    return data;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

// One value per line is read from what was read ahead, lines crossing a block's end
// apart: whatever the line ends, damage, block size or channel count, the channels must be
// those of reading line by line.
TEST(EMSAReaderFuzzTest, OneValuePerLineReadsAsLineByLine) {
    std::mt19937 random(31);
    for (int round = 0; round < 3000; ++round) {
        const std::string data = RandomDataSection(random);
        const int32_t npoints = static_cast<int32_t>(random() % 80);
        const std::string text = Header({{"NPOINTS", std::to_string(npoints).c_str()}}) + data;
        const std::vector<double> expected = ReadLineByLine(data, npoints);
        ASSERT_TRUE(SameBits(Channels(Read(text)), expected)) << testing::PrintToString(text);
        for (const size_t block : {1, 3, 8, 17}) {
            SpectrumSource source("story.msa", std::make_unique<std::istringstream>(text), block);
            ASSERT_TRUE(SameBits(Channels(ReadSpectrum(source)), expected))
                << "blocks of " << block << ": " << testing::PrintToString(text);
        }
    }
}

}  // namespace

}  // namespace xray
