#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "filter/FilterKernels.h"

namespace xray {

namespace {

Array1D<double> Sampled(int32_t n, const std::function<double(int32_t)>& f) {
    Array1D<double> a(n);
    for (int32_t i = 0; i < n; ++i)
        a[i] = f(i);
    return a;
}

// Counts that look like a spectrum: a smooth background with some structure.
Array1D<double> Counts(int32_t n) {
    return Sampled(n,
                   [](int32_t i) { return 500.0 + 300.0 * std::sin(0.37 * i) + (i * 7919) % 97; });
}

void ExpectValues(const Array1D<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.count(), static_cast<int32_t>(expected.size()));
    for (int32_t i = 0; i < actual.count(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9 * (1.0 + std::abs(expected[i])))
            << "channel " << i;
}

// Top-hat at channel i by direct summation: central lobe of c channels starting at
// i - c/2 + 1, side lobes of e channels on either side, channels outside count as zero.
double ReferenceTopHat(const Array1D<double>& y, int32_t i, int32_t c, int32_t e) {
    auto sum = [&y](int32_t first, int32_t count) {
        double s = 0;
        for (int32_t j = std::max(first, 0); j < std::min(first + count, y.count()); ++j)
            s += y[j];
        return s;
    };
    const int32_t low = i - c / 2 + 1;
    return sum(low, c) / c - (sum(low - e, e) + sum(low + c, e)) / (2.0 * e);
}

// Central lobe width in channels from the FWHM law at energyEv, never below one.
int32_t ReferenceLobeWidth(double energyEv, double hEv, double resolutionEv) {
    const double fwhmSquared = resolutionEv * resolutionEv + 2.49 * (energyEv - 5898.2451);
    if (fwhmSquared <= 0)
        return 1;
    return std::max(1, static_cast<int32_t>(std::floor(std::sqrt(fwhmSquared) / hEv + 0.5)));
}

// Running sums of some thousand counts differ from direct sums in the last bits.
constexpr double kSumTolerance = 1e-8;

void ExpectVariableTopHatLikeReference(double E0, double h, double R, int32_t n) {
    const Array1D<double> y = Counts(n);
    Array1D<double> filtered = y;
    VariableTopHatFilter(E0, h, R, filtered);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = ReferenceLobeWidth(1000 * (E0 + i * h), 1000 * h, 1000 * R);
        EXPECT_NEAR(filtered[i], ReferenceTopHat(y, i, c, (c + 1) / 2), kSumTolerance)
            << "channel " << i;
    }
}

TEST(DerivativeFilterTest, ConstantSpectrumGivesZero) {
    for (int32_t n : {6, 8, 9, 30}) {
        Array1D<double> first(n, 42.0), second(n, 42.0);
        FirstDerivativeFilter(0.01, first);
        SecondDerivativeFilter(0.01, second);
        ExpectValues(first, std::vector<double>(n, 0.0));
        ExpectValues(second, std::vector<double>(n, 0.0));
    }
}

TEST(FirstDerivativeFilterTest, ExactForLinesAndQuarticsAtEveryChannel) {
    Array1D<double> line = Sampled(6, [](int32_t i) { return 3.0 * i + 7.0; });
    FirstDerivativeFilter(0.25, line);
    ExpectValues(line, std::vector<double>(6, 12.0));

    // Five-point differences, one-sided ones included, are exact up to degree 4.
    Array1D<double> quartic = Sampled(11, [](int32_t i) { return std::pow(i, 4); });
    FirstDerivativeFilter(0.5, quartic);
    for (int32_t i = 0; i < 11; ++i)
        EXPECT_DOUBLE_EQ(quartic[i], 8.0 * i * i * i) << i;
}

// y = i^2: nine-point smoothing keeps a parabola, a three-point mean adds 2/3, and the end
// means s[0] = s[1], s[n-2] = s[n-1] are centred one channel inward. Worked by hand.
TEST(SecondDerivativeFilterTest, ParabolaRevealsTheSmoothingRegions) {
    const auto parabola = [](int32_t i) { return double(i) * i; };
    Array1D<double> twelve = Sampled(12, parabola);
    SecondDerivativeFilter(0.5, twelve);  // h^2 = 1/4: four times the h = 1 values
    ExpectValues(twelve, {16, 32. / 3, 71. / 9, 14. / 3, 34. / 3, 70. / 9, 70. / 9, 34. / 3,
                          14. / 3, 137. / 9, 32. / 3, -160});

    Array1D<double> eight = Sampled(8, parabola);  // three-point means only
    SecondDerivativeFilter(1.0, eight);
    ExpectValues(eight, {4, 2, 23. / 12, 2, 2, 37. / 12, 2, -24});

    Array1D<double> five = Sampled(5, parabola);
    SecondDerivativeFilter(1.0, five);
    ExpectValues(five, {4, 9, 2.5, 1, -12});
}

TEST(FixedTopHatFilterTest, ImpulseShowsLobeWeightsAndPositions) {
    // R = 3h: c = 3, e = 2. Channel 10 lies in the central lobe of outputs 8..10 and in
    // the side lobes of outputs 11, 12 (below them) and 6, 7 (above them).
    Array1D<double> y = Sampled(20, [](int32_t i) { return i == 10 ? 1.0 : 0.0; });
    FixedTopHatFilter(0.25, 0.75, y);
    std::vector<double> expected(20, 0.0);
    for (int32_t i : {8, 9, 10})
        expected[i] = 1.0 / 3;
    for (int32_t i : {6, 7, 11, 12})
        expected[i] = -0.25;
    ExpectValues(y, expected);
}

TEST(FixedTopHatFilterTest, LobeWidthsRoundHalfAwayFromZero) {
    struct Case {
        double resolutionInChannels;
        int32_t c, e;
    };
    // 0.3 rounds to 0: the central lobe is one channel all the same.
    for (Case k :
         {Case{3, 3, 2}, Case{3.5, 4, 2}, Case{2.5, 3, 2}, Case{5, 5, 3}, Case{0.3, 1, 1}}) {
        const Array1D<double> y = Counts(40);
        Array1D<double> filtered = y;
        FixedTopHatFilter(0.25, 0.25 * k.resolutionInChannels, filtered);
        for (int32_t i = 0; i < 40; ++i)
            ASSERT_NEAR(filtered[i], ReferenceTopHat(y, i, k.c, k.e), kSumTolerance)
                << "R/h " << k.resolutionInChannels << " channel " << i;
    }
}

TEST(FixedTopHatFilterTest, ConstantIsZeroWhereTheLobesLieInside) {
    Array1D<double> y(40, 7.0);
    FixedTopHatFilter(0.01, 0.03, y);  // c = 3, e = 2: lobes inside for channels 2..35
    for (int32_t i = 0; i < 40; ++i) {
        if (i >= 2 && i <= 35)
            EXPECT_NEAR(y[i], 0.0, 1e-12) << i;
        else
            EXPECT_GT(std::abs(y[i]), 1.0) << i;
    }

    Array1D<double> single(1, 6.0);  // one channel: the central lobe sees 6, 0, 0
    FixedTopHatFilter(0.01, 0.03, single);
    EXPECT_DOUBLE_EQ(single[0], 2.0);
}

TEST(VariableTopHatFilterTest, UsesTheResolutionAtMnKalpha) {
    const double h = 0.01;  // channel 50 at 5898.2451 eV: 130 eV there is 13 channels
    const Array1D<double> y = Counts(100);
    Array1D<double> filtered = y;
    VariableTopHatFilter(5.8982451 - 50 * h, h, 0.13, filtered);
    EXPECT_NEAR(filtered[50], ReferenceTopHat(y, 50, 13, 7), kSumTolerance);
}

TEST(VariableTopHatFilterTest, MatchesDirectSumsOverWholeSpectra) {
    ExpectVariableTopHatLikeReference(0.0, 0.01, 0.13, 1000);
    // Starting at 10 keV, the first lobes reach further below channel 0 than near 0 keV.
    ExpectVariableTopHatLikeReference(10.0, 0.02, 0.13, 300);
    // Below about 121 eV the law has no real width at low energies: one channel there.
    ExpectVariableTopHatLikeReference(-0.1, 0.01, 0.1, 1000);
    ExpectVariableTopHatLikeReference(0.5, 0.01, 0.13, 1);
}

void ExpectRefused(const std::function<void(Array1D<double>&)>& filter, int32_t n,
                   const std::string& fragment) {
    Array1D<double> y = Counts(n);
    try {
        filter(y);
        ADD_FAILURE() << "accepted; expected an error mentioning " << fragment;
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find(fragment), std::string::npos) << error.what();
    }
    const Array1D<double> untouched = Counts(n);
    for (int32_t i = 0; i < n; ++i)
        EXPECT_EQ(y[i], untouched[i]);
}

TEST(FilterKernelsTest, RefuseWhatTheyCannotFilterAndLeaveTheSpectrum) {
    using Y = Array1D<double>;
    ExpectRefused([](Y& y) { FirstDerivativeFilter(0.01, y); }, 5,
                  "5 channels; the first derivative filter needs at least 6");
    ExpectRefused([](Y& y) { SecondDerivativeFilter(0.01, y); }, 4, "needs at least 5");
    ExpectRefused([](Y& y) { FixedTopHatFilter(0.01, 0.13, y); }, 0, "needs at least 1");
    ExpectRefused([](Y& y) { VariableTopHatFilter(0, 0.01, 0.13, y); }, 0, "needs at least 1");
    ExpectRefused([](Y& y) { FirstDerivativeFilter(0.0, y); }, 10, "non-zero energy scale");
    ExpectRefused([](Y& y) { SecondDerivativeFilter(NAN, y); }, 10, "non-zero energy scale");
    ExpectRefused([](Y& y) { FixedTopHatFilter(-0.01, 0.13, y); }, 10, "positive energy scale");
    ExpectRefused([](Y& y) { FixedTopHatFilter(0.01, 0.0, y); }, 10, "resolution is 0 eV");
    ExpectRefused([](Y& y) { VariableTopHatFilter(0, 0.01, -0.13, y); }, 10, "-130 eV");
    ExpectRefused([](Y& y) { VariableTopHatFilter(NAN, 0.01, 0.13, y); }, 10, "first channel");
    ExpectRefused([](Y& y) { FixedTopHatFilter(1e-12, 0.13, y); }, 10, "check the resolution");
    ExpectRefused([](Y& y) { VariableTopHatFilter(1e300, 0.01, 0.13, y); }, 10,
                  "check the resolution");
}

}  // namespace

}  // namespace xray
