#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <locale>
#include <random>
#include <sstream>
#include <string>

#include "emsa/NumberScanner.h"

namespace xray {

namespace {

// Reads one double from `text` into a variable holding `before`; returns the variable.
double DoubleAfterRead(const std::string& text, double before, bool expectOk) {
    double value = before;
    EXPECT_EQ(ReadDouble(text, value), expectOk) << '"' << text << '"';
    return value;
}

int32_t IntAfterRead(const std::string& text, int32_t before, bool expectOk) {
    int32_t value = before;
    EXPECT_EQ(ReadInt(text, value), expectOk) << '"' << text << '"';
    return value;
}

TEST(NumberScannerTest, DoublesInEveryNotationAStreamAccepts) {
    EXPECT_EQ(DoubleAfterRead("12.5", 0, true), 12.5);
    EXPECT_EQ(DoubleAfterRead(" \t-3", 0, true), -3.0);
    EXPECT_EQ(DoubleAfterRead("+.5", 0, true), 0.5);
    EXPECT_EQ(DoubleAfterRead("5.", 0, true), 5.0);
    EXPECT_EQ(DoubleAfterRead("1.5E+3", 0, true), 1500.0);
    EXPECT_EQ(DoubleAfterRead("2e-2xyz", 0, true), 0.02);
    EXPECT_EQ(DoubleAfterRead("7,8", 0, true), 7.0);
    EXPECT_EQ(DoubleAfterRead("0x1A", 0, true), 0.0) << "no hex: reading stops at the x";
}

TEST(NumberScannerTest, FailedDoubleLeavesTheVariableAlone) {
    for (const char* text :
         {"", "   ", "abc", "-", "+-1", ".", "e5", "inf", "nan", "1e", "1e+", "1e999", "-1e999"}) {
        EXPECT_EQ(DoubleAfterRead(text, 42.0, false), 42.0) << '"' << text << '"';
    }
}

TEST(NumberScannerTest, UnderflowReadsAsSignedZero) {
    EXPECT_EQ(DoubleAfterRead("1e-999", 42.0, true), 0.0);
    const double negative = DoubleAfterRead("-0.0001e-999", 42.0, true);
    EXPECT_EQ(negative, 0.0);
    EXPECT_TRUE(std::signbit(negative));
}

TEST(NumberScannerTest, IntsStopAtThePointAndRespectTheRange) {
    EXPECT_EQ(IntAfterRead("1024.", 0, true), 1024);
    EXPECT_EQ(IntAfterRead("1024 channels", 0, true), 1024);
    EXPECT_EQ(IntAfterRead("  +7", 0, true), 7);
    EXPECT_EQ(IntAfterRead("-2147483648", 0, true), INT32_MIN);
    EXPECT_EQ(IntAfterRead("2147483647", 0, true), INT32_MAX);
    EXPECT_EQ(IntAfterRead("000000000000000000000009", 0, true), 9);
    EXPECT_EQ(IntAfterRead("1e5", 0, true), 1);
    for (const char* text :
         {"2147483648", "-2147483649", "99999999999999999999999", "- 5", "+", ".5", "", "twelve"}) {
        EXPECT_EQ(IntAfterRead(text, 17, false), 17) << '"' << text << '"';
    }
}

TEST(LineScannerTest, SeparatorIsConsumedOnlyWhenItCannotBeginANumber) {
    // Commas, blanks, tabs, semicolons, and blanks before a signed number.
    const std::string line = "1,2 3\t4 ; 5 -6 ,+7";
    LineScanner scan(line);
    for (double expected : {1.0, 2.0, 3.0, 4.0, 5.0, -6.0, 7.0}) {
        double value = 0;
        ASSERT_TRUE(scan.Number(value)) << expected;
        EXPECT_EQ(value, expected);
        scan.SkipSeparator();
    }
}

TEST(LineScannerTest, OnceAReadFailsTheRestOfTheLineFailsToo) {
    const std::string line = "1, x, 3";
    LineScanner scan(line);
    double value = 0;
    EXPECT_TRUE(scan.Number(value));
    scan.SkipSeparator();
    EXPECT_FALSE(scan.Number(value));
    scan.SkipSeparator();
    EXPECT_FALSE(scan.Number(value)) << "a stream stays failed; so does the scanner";
    EXPECT_EQ(value, 1.0);
    EXPECT_TRUE(scan.failed());
}

}  // namespace

namespace {

// Random decimal texts in every shape the scanner handles by a shortcut or in general:
// short and long mantissas, leading zeros, points anywhere, exponents near the limits.
std::string RandomDecimal(std::mt19937& random) {
    auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    std::string text = pick(3) == 0 ? "-" : "";
    const int digits = 1 + pick(pick(4) == 0 ? 25 : 8);
    const int point = pick(digits + 2);
    for (int i = 0; i < digits; ++i) {
        if (i == point)
            text += '.';
        text += static_cast<char>('0' + (pick(4) == 0 ? 0 : pick(10)));
    }
    if (pick(3) == 0)
        text += "e" + std::to_string(pick(700) - 350);
    return text;
}

TEST(NumberScannerTest, AgreesBitForBitWithTheGeneralConversion) {
    std::mt19937 random(20261208);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomDecimal(random);
        double expected = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), expected);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size())
            continue;
        double value = 12345;
        ASSERT_TRUE(ReadDouble(text, value)) << text;
        ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
            << text << " read as " << value << ", expected " << expected;
    }
}

// Texts a data line may hold: numbers in every shape, damaged numbers, signs, points and
// exponent markers in odd places, blanks and other characters.
std::string RandomField(std::mt19937& random) {
    if (random() % 2 == 0)
        return RandomDecimal(random);
    static const char kAlphabet[] = " \t+-.eE0123456789x,;";
    std::string text;
    for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n)
        text += kAlphabet[random() % (sizeof kAlphabet - 1)];
    return text;
}

// The stream itself is the reference: what it accepts, the scanner accepts with the same
// bits; what it refuses (failbit), the scanner refuses, leaving its variable alone.
TEST(NumberScannerTest, ReadsExactlyWhatAStreamReads) {
    std::mt19937 random(20250117);
    int accepted = 0;
    int refused = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomField(random);
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        double expected = 0;
        in >> expected;
        double value = 12345;
        const bool ok = ReadDouble(text, value);
        ASSERT_EQ(ok, !in.fail()) << '"' << text << '"';
        if (ok) {
            ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
                << '"' << text << "\" read as " << value << ", the stream reads " << expected;
            ++accepted;
        } else {
            ASSERT_EQ(value, 12345) << '"' << text << '"';
            ++refused;
        }
    }
    EXPECT_GT(accepted, 50000);
    EXPECT_GT(refused, 20000);
}

// The scan for lines known to end within the text agrees with ScanDouble: the same answer,
// value and end, whether the text ends right after the line or goes on.
TEST(NumberScannerTest, ScanBeforeALineBreakAgreesWithScanDouble) {
    std::mt19937 random(77);
    for (int i = 0; i < 200000; ++i) {
        const std::string field = RandomField(random);
        if (field[0] == ' ' || field[0] == '\t')
            continue;  // blanks are skipped by the caller first
        for (const std::string tail : {"\n", "\r\n", "\n123456789012345678901234567890"}) {
            const std::string text = field + tail;
            const char* end = text.data() + text.size();
            const char* p = text.data();
            const char* q = text.data();
            double a = 1;
            double b = 1;
            const bool okA = ScanDouble(p, end, a);
            const bool okB = ScanDoubleBeforeLineBreak(q, end, b);
            ASSERT_EQ(okA, okB) << '"' << text << '"';
            ASSERT_EQ(p, q) << '"' << text << '"';
            ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << '"' << text << '"';
        }
    }
}

}  // namespace

}  // namespace xray
