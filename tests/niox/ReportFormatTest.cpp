// The report numbers against the standard stream they must reproduce, digit for digit:
// random bit patterns (every finite double, denormals, infinities, NaN of either sign),
// exact binary ties, near ties and values of every magnitude, with the decimals the
// reports use and a few more.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "niox/ReportFormat.h"

namespace xray {

namespace {

std::string StreamFixed(double value, int decimals) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(decimals) << value;
    return out.str();
}

std::string StreamSignificant(double value, int digits, int width) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::setprecision(digits) << std::setw(width) << value;
    return out.str();
}

double FromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Values where rounding is hardest or the text is unusual.
std::vector<double> EdgeValues() {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.125,
                                  -0.125,
                                  0.375,
                                  2.5,
                                  -2.5,
                                  0.5,
                                  1.5,
                                  0.05,
                                  0.15,
                                  0.25,
                                  0.35,
                                  1.0005,
                                  1.00005,
                                  9.95,
                                  9.9995,
                                  99999.95,
                                  1e300,
                                  -1e300,
                                  1e22,
                                  1e23,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min(),
                                  FromBits(0x000fffffffffffffu),
                                  inf,
                                  -inf,
                                  nan,
                                  -nan};
    // Every multiple of 1/1024 is exact in binary, so with few decimals many are ties.
    for (int k = -4096; k <= 4096; k += 7)
        values.push_back(k / 1024.0);
    return values;
}

std::vector<double> RandomValues(size_t count) {
    std::mt19937_64 generator(20240517);
    std::uniform_int_distribution<int> exponent(-12, 12);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int64_t> integer(-100000000, 100000000);
    std::vector<double> values;
    values.reserve(count);
    while (values.size() < count) {
        values.push_back(FromBits(generator()));  // any pattern at all
        values.push_back(mantissa(generator) * std::pow(10.0, exponent(generator)));
        // Halfway between two texts of 1 to 4 decimals, and the doubles either side of it.
        const double tie = (static_cast<double>(integer(generator)) + 0.5) /
                           std::pow(10.0, 1 + static_cast<int>(generator() % 4));
        values.push_back(tie);
        values.push_back(std::nextafter(tie, 0.0));
        values.push_back(std::nextafter(tie, 1e300));
    }
    return values;
}

TEST(ReportFormatTest, FixedWritesWhatTheStreamWrites) {
    std::vector<double> values = EdgeValues();
    const std::vector<double> random = RandomValues(40000);
    values.insert(values.end(), random.begin(), random.end());
    int compared = 0;
    for (const double value : values) {
        for (int decimals = 0; decimals <= 6; ++decimals) {
            ASSERT_EQ(Fixed(value, decimals), StreamFixed(value, decimals))
                << std::hexfloat << value << " with " << decimals << " decimals";
            ++compared;
        }
    }
    EXPECT_GT(compared, 280000);
}

TEST(ReportFormatTest, FixedEdgeCasesByName) {
    EXPECT_EQ(Fixed(0.125, 2), "0.12");  // an exact tie goes to the even digit
    EXPECT_EQ(Fixed(0.375, 2), "0.38");
    EXPECT_EQ(Fixed(2.5, 0), "2");
    EXPECT_EQ(Fixed(-0.0, 1), "-0.0");
    EXPECT_EQ(Fixed(0.15, 1), "0.1");  // 0.15 is stored a little below the tie
    EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity(), 3), "inf");
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 3), "-inf");
    EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 1), "nan");
    // A not-a-number with its sign bit set: "-nan" from glibc, "nan" from MinGW's streams.
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::quiet_NaN(), 1),
              StreamFixed(-std::numeric_limits<double>::quiet_NaN(), 1));
    EXPECT_EQ(Fixed(1e300, 4).size(), 301u + 5u);
    EXPECT_EQ(Fixed(std::numeric_limits<double>::denorm_min(), 4), "0.0000");
    EXPECT_EQ(Fixed(1.5, -1), StreamFixed(1.5, -1)) << "a negative precision means 6";
    const std::string longText = Fixed(1.0 / 3.0, 200);  // beyond the stack buffer
    EXPECT_EQ(longText, StreamFixed(1.0 / 3.0, 200));
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::max(), 100),
              StreamFixed(-std::numeric_limits<double>::max(), 100));
}

TEST(ReportFormatTest, SignificantWritesWhatTheStreamWrites) {
    std::vector<double> values = EdgeValues();
    const std::vector<double> random = RandomValues(20000);
    values.insert(values.end(), random.begin(), random.end());
    for (const double value : values) {
        for (int digits = 0; digits <= 7; ++digits) {
            for (const int width : {0, 5, 12}) {
                ASSERT_EQ(Significant(value, digits, width),
                          StreamSignificant(value, digits, width))
                    << std::hexfloat << value << " with " << digits << " digits, width " << width;
            }
        }
    }
    // Single-precision calibrations, as the NiOx header writes them.
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> calibration(-500.0f, 500.0f);
    for (int i = 0; i < 20000; ++i) {
        const double value = static_cast<double>(calibration(generator));
        ASSERT_EQ(Significant(value, 3, 5), StreamSignificant(value, 3, 5)) << value;
    }
    EXPECT_EQ(Significant(-0.2, 3, 5), " -0.2");
    EXPECT_EQ(Significant(12345.0, 3, 5), "1.23e+04");
    EXPECT_EQ(Significant(1.0 / 3.0, 300), StreamSignificant(1.0 / 3.0, 300, 0));
}

}  // namespace

}  // namespace xray
