#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>

#include "fit/GaussianFit.h"

namespace xray {

namespace {

Array1D<double> Values(std::initializer_list<double> list) {
    Array1D<double> a(static_cast<int32_t>(list.size()));
    int32_t i = 0;
    for (double v : list)
        a[i++] = v;
    return a;
}

Array1D<double> Gaussian(int32_t n, double height, double mu, double sigma) {
    Array1D<double> a(n);
    for (int32_t i = 0; i < n; ++i)
        a[i] = height * std::exp(-(i - mu) * (i - mu) / (2 * sigma * sigma));
    return a;
}

void ExpectWindow(const Array1D<double>& values, int32_t start,
                  std::initializer_list<double> expected) {
    Array1D<double> window;
    EXPECT_EQ(SelectPeakWindow(values, window), start);
    ASSERT_EQ(window.count(), static_cast<int32_t>(expected.size()));
    int32_t k = 0;
    for (double v : expected)
        EXPECT_EQ(window[k++], v);
}

TEST(SelectPeakWindowTest, KeepsOneChannelAtOrBelowTenPercentOnEachSide) {
    // Threshold 2: the 2 at index 1 is not above it, so the window starts there.
    ExpectWindow(Values({1, 2, 5, 12, 20, 12, 5, 1.5, 1}), 1, {2, 5, 12, 20, 12, 5, 1.5});
    ExpectWindow(Values({10, 5, 0.5, 0.2}), 0, {10, 5, 0.5});
}

TEST(SelectPeakWindowTest, TiesCountFromTheFirstMaximum) {
    ExpectWindow(Values({0, 10, 0, 10, 0}), 0, {0, 10, 0});
}

TEST(SelectPeakWindowTest, ClampsToTheValuesAtBothEnds) {
    ExpectWindow(Values({5, 8, 10, 3, 0.5}), 0, {5, 8, 10, 3, 0.5});
    ExpectWindow(Values({0.5, 5, 10, 8, 6}), 0, {0.5, 5, 10, 8, 6});
    ExpectWindow(Values({}), 0, {});
}

TEST(SelectPeakWindowTest, ReusesAWindowOfTheRightCount) {
    Array1D<double> window(5);
    const double* block = window.data();
    SelectPeakWindow(Values({0, 1, 9, 1, 0}), window);
    EXPECT_EQ(window.data(), block);
}

void ExpectDigits(double actual, double truth, double relative) {
    EXPECT_NEAR(actual, truth, relative * std::fabs(truth));
}

TEST(FitGaussianTest, NoiselessGaussianComesBackAtEveryExponent) {
    for (double sigma : {6.4, 15.0}) {
        Array1D<double> region;
        const int32_t start = SelectPeakWindow(Gaussian(80, 1.0, 37.3, sigma), region);
        for (double p = 1.0; p <= 10.0; p += 0.5) {
            const GaussianFit g = FitGaussianAtExponent(region, p);
            ExpectDigits(g.sigma, sigma, 1e-10);
            ExpectDigits(g.mu + start, 37.3, 1e-10);
            ExpectDigits(g.height, 1.0, 1e-10);
            EXPECT_LT(g.chiSquare, 1e-18);
        }
        const GaussianPeakFit best = FitGaussianPeak(region);
        ExpectDigits(best.fit.sigma, sigma, 1e-10);
        ExpectDigits(best.fit.mu + start, 37.3, 1e-10);
        ExpectDigits(best.fit.height, 1.0, 1e-10);
    }
}

TEST(FitGaussianTest, NonPositiveChannelsAreLeftOut) {
    Array1D<double> values = Gaussian(30, 500.0, 14.2, 4.0);
    values[2] = 0.0;
    values[27] = -3.0;
    const GaussianFit g = FitGaussianAtExponent(values, 2.0);
    ExpectDigits(g.sigma, 4.0, 1e-10);
    ExpectDigits(g.mu, 14.2, 1e-10);
    ExpectDigits(g.height, 500.0, 1e-10);
}

template <typename Call>
void ExpectFitError(Call call, const std::string& fragment) {
    try {
        call();
        ADD_FAILURE() << "expected GaussianFitError containing: " << fragment;
    } catch (const GaussianFitError& e) {
        EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
    }
}

double DirectChiSquare(const Array1D<double>& y, const GaussianFit& g) {
    double chi = 0;
    for (int32_t i = 0; i < y.count(); ++i) {
        if (y[i] <= 0)
            continue;
        const double model =
            g.height * std::exp(-(i - g.mu) * (i - g.mu) / (2 * g.sigma * g.sigma));
        chi += (y[i] - model) * (y[i] - model) / y[i];
    }
    return chi;
}

// Gaps in the usable channels, and centres inside and far outside the window.
TEST(FitGaussianTest, ChiSquareIsTheSumOverUsableChannels) {
    const Array1D<double> lumpy = Values({3, 9, 0, 30, 52, 61, 47, -2, 20, 8, 6, 2});
    const Array1D<double> slope = Values({1, 2, 4, 7, 11, 16, 22});
    const Array1D<double> narrow = Values({1e-6, 0.02, 1, 0.03, 2e-7, 1e-12});
    const std::pair<const Array1D<double>*, double> cases[] = {{&lumpy, 1.0},  {&lumpy, 10.0},
                                                               {&slope, 1.0},  {&slope, 10.0},
                                                               {&narrow, 1.0}, {&narrow, 3.7}};
    for (const auto& c : cases) {
        const GaussianFit g = FitGaussianAtExponent(*c.first, c.second);
        const double direct = DirectChiSquare(*c.first, g);
        EXPECT_NEAR(g.chiSquare, direct, 1e-12 * direct) << "p " << c.second << " mu " << g.mu;
    }
    // At p = 10 only the maximum carries weight: no width can be fitted.
    ExpectFitError([&] { FitGaussianAtExponent(narrow, 10.0); }, "too few channels carry weight");
}

// Total counts 1e5: the FWHM's counting error is about 0.2 %, well inside 1 %.
TEST(FitGaussianTest, PoissonNoisyPeaksGiveTheWidthWithinOnePercent) {
    std::mt19937 generator(20261208);
    const double fwhmPerSigma = 2 * std::sqrt(2 * std::log(2.0));
    for (double sigma : {3.0, 5.5, 8.0}) {
        for (int run = 0; run < 5; ++run) {
            const double mu = 38.0 + 0.37 * run;
            const Array1D<double> mean =
                Gaussian(80, 1e5 / (sigma * std::sqrt(2 * std::acos(-1.0))), mu, sigma);
            Array1D<double> counts(80);
            for (int32_t i = 0; i < 80; ++i)
                counts[i] = std::poisson_distribution<int>(mean[i])(generator);
            Array1D<double> region;
            SelectPeakWindow(counts, region);
            const GaussianPeakFit best = FitGaussianPeak(region);
            EXPECT_NEAR(best.fit.sigma * fwhmPerSigma, sigma * fwhmPerSigma,
                        0.01 * sigma * fwhmPerSigma)
                << "sigma " << sigma << " run " << run;
        }
    }
}

// A peak of whole counts on a flat background, so that the chi-square has one clear
// minimum in the exponent. The search golden-sections down from 5.5 (the chi-square falls
// all the way), then three parabolic steps and one tol1 probe: eleven trial points, twelve
// passes. A scan of the chi-square over [1, 10] in steps of 1e-4 has its smallest value at
// 1.0746, within the search's tolerance (0.001 x 1.075) of the chosen exponent.
TEST(FitGaussianTest, BrentSearchOnAFixedPeakIsPinned) {
    Array1D<double> counts(80);
    for (int32_t i = 0; i < 80; ++i)
        counts[i] =
            std::round(1000 * (std::exp(-(i - 40.3) * (i - 40.3) / (2 * 6.4 * 6.4)) + 0.02));
    Array1D<double> region;
    ASSERT_EQ(SelectPeakWindow(counts, region), 25);
    ASSERT_EQ(region.count(), 31);

    const GaussianPeakFit best = FitGaussianPeak(region);
    EXPECT_EQ(best.passes, 12);
    EXPECT_NEAR(best.exponent, 1.0747874, 1e-6);
    EXPECT_NEAR(best.exponent, 1.0746, 0.001 * 1.075);

    const GaussianFit atExponent = FitGaussianAtExponent(region, best.exponent);
    EXPECT_EQ(best.fit.sigma, atExponent.sigma);
    EXPECT_EQ(best.fit.mu, atExponent.mu);
    EXPECT_EQ(best.fit.height, atExponent.height);
    EXPECT_EQ(best.fit.chiSquare, atExponent.chiSquare);
    EXPECT_LT(best.fit.chiSquare, FitGaussianAtExponent(region, best.exponent + 0.01).chiSquare);
}

TEST(FitGaussianTest, FailsClearlyWithoutAPeak) {
    const Array1D<double> twoChannels = Values({0, 5, 0, -1, 3});
    ExpectFitError([&] { FitGaussianAtExponent(twoChannels, 2.0); }, "at least three channels");
    ExpectFitError([&] { FitGaussianPeak(twoChannels); }, "the peak has 2");

    const Array1D<double> valley = Values({10, 4, 2, 4, 10});
    ExpectFitError([&] { FitGaussianAtExponent(valley, 2.0); }, "peak of finite width");
    ExpectFitError([&] { FitGaussianPeak(valley); }, "peak of finite width");
}

}  // namespace

}  // namespace xray
