#include "fit/GaussianFit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fit/BrentMinimiser.h"

namespace xray {

namespace {

constexpr double kPeakThreshold = 0.1;
constexpr double kLowestExponent = 1.0;
constexpr double kHighestExponent = 10.0;

bool Usable(double y) {
    return y > 0.0 && std::isfinite(y);
}

// The usable channels of a window, with the logarithms of their values taken once so
// that each trial exponent costs one exponential per channel for the weights.
struct UsableChannels {
    std::vector<double> x, y, lnY, inverseY;

    explicit UsableChannels(const Array1D<double>& window) {
        x.reserve(window.count());
        y.reserve(window.count());
        lnY.reserve(window.count());
        inverseY.reserve(window.count());
        for (int32_t i = 0; i < window.count(); ++i) {
            if (!Usable(window[i]))
                continue;
            x.push_back(i);
            y.push_back(window[i]);
            lnY.push_back(std::log(window[i]));
            inverseY.push_back(1 / window[i]);
        }
    }
    size_t size() const { return x.size(); }
};

// The weighted sums of the normal equations: S_k = sum w i^k, T_k = sum w ln(y) i^k,
// with the weight w = y^p.
struct NormalSums {
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
    double t0 = 0, t1 = 0, t2 = 0;
};

NormalSums Accumulate(const UsableChannels& ch, double p) {
    NormalSums s;
    for (size_t k = 0; k < ch.size(); ++k) {
        const double x = ch.x[k];
        const double w = std::exp(p * ch.lnY[k]);
        const double wl = w * ch.lnY[k];
        s.s0 += w;
        s.s1 += w * x;
        s.s2 += w * x * x;
        s.s3 += w * x * x * x;
        s.s4 += w * x * x * x * x;
        s.t0 += wl;
        s.t1 += wl * x;
        s.t2 += wl * x * x;
    }
    return s;
}

// ln y = a + b i + c i^2, solved by Cramer's rule.
struct Parabola {
    double a, b, c;
};

Parabola SolveNormalEquations(const NormalSums& s) {
    const double det = s.s0 * s.s2 * s.s4 + 2 * s.s1 * s.s2 * s.s3 - s.s2 * s.s2 * s.s2 -
                       s.s0 * s.s3 * s.s3 - s.s1 * s.s1 * s.s4;
    const double c = ((s.s0 * s.s2 - s.s1 * s.s1) * s.t2 + (s.s1 * s.s3 - s.s2 * s.s2) * s.t0 +
                      (s.s1 * s.s2 - s.s0 * s.s3) * s.t1) /
                     det;
    const double b = ((s.s1 * s.s2 - s.s0 * s.s3) * s.t2 + (s.s2 * s.s3 - s.s1 * s.s4) * s.t0 +
                      (s.s0 * s.s4 - s.s2 * s.s2) * s.t1) /
                     det;
    const double a = ((s.s1 * s.s3 - s.s2 * s.s2) * s.t2 + (s.s2 * s.s4 - s.s3 * s.s3) * s.t0 +
                      (s.s2 * s.s3 - s.s1 * s.s4) * s.t1) /
                     det;
    return Parabola{a, b, c};
}

// Sum of (y - model)^2 / y, the model H exp(-(i - mu)^2 / (2 sigma^2)) being stepped from
// channel to channel instead of taken as one exponential per channel: the ratio of
// neighbouring model values changes by exp(-1/sigma^2) per channel. Each walk starts at
// the channel nearest the centre and moves away from it, so every factor is at most 1 and
// nothing overflows; the values agree with direct evaluation to about 1e-14.
class ChiSquareSum {
  public:
    ChiSquareSum(const UsableChannels& ch, const GaussianFit& g)
        : fCh(ch),
          fG(g),
          fTwoVariance(2 * g.sigma * g.sigma),
          fDecay(std::exp(-2 / fTwoVariance)) {}

    double operator()() const {
        const double centre = std::min(std::max(std::round(fG.mu), fCh.x.front()), fCh.x.back());
        const size_t split = std::lower_bound(fCh.x.begin(), fCh.x.end(), centre) - fCh.x.begin();
        return Rightwards(centre, split) + Leftwards(centre - 1, split);
    }

  private:
    double Model(double x) const {
        return fG.height * std::exp(-(x - fG.mu) * (x - fG.mu) / fTwoVariance);
    }
    double Term(size_t k, double model) const {
        const double r = fCh.y[k] - model;
        return r * r * fCh.inverseY[k];
    }

    // Channels split, split + 1, ... at x = start, start + 1, ...
    double Rightwards(double start, size_t k) const {
        double chi = 0.0;
        double model = Model(start);
        double ratio = std::exp(-(2 * (start - fG.mu) + 1) / fTwoVariance);
        for (double x = start; k < fCh.size(); x += 1) {
            if (fCh.x[k] == x)
                chi += Term(k++, model);
            model *= ratio;
            ratio *= fDecay;
        }
        return chi;
    }

    // Channels split - 1, split - 2, ... at x = start, start - 1, ...
    double Leftwards(double start, size_t k) const {
        double chi = 0.0;
        double model = Model(start);
        double ratio = std::exp((2 * (start - fG.mu) - 1) / fTwoVariance);
        for (double x = start; k > 0; x -= 1) {
            if (fCh.x[k - 1] == x)
                chi += Term(--k, model);
            model *= ratio;
            ratio *= fDecay;
        }
        return chi;
    }

    const UsableChannels& fCh;
    const GaussianFit& fG;
    const double fTwoVariance;
    const double fDecay;
};

// The fit at exponent p; false when the parabola gives no finite Gaussian.
bool TryFitAtExponent(const UsableChannels& ch, double p, GaussianFit& g) {
    const Parabola q = SolveNormalEquations(Accumulate(ch, p));
    if (!(q.c < 0.0))
        return false;
    g.sigma = std::sqrt(-1.0 / (2 * q.c));
    g.mu = q.b * g.sigma * g.sigma;
    g.height = std::exp(q.a + g.mu * g.mu / (2.0 * g.sigma * g.sigma));
    if (!std::isfinite(g.sigma) || !std::isfinite(g.mu) || !std::isfinite(g.height))
        return false;
    g.chiSquare = ChiSquareSum(ch, g)();
    return true;
}

void RequireThreeUsableValues(const UsableChannels& ch) {
    const size_t usable = ch.size();
    if (usable < 3)
        throw GaussianFitError(
            "The Gaussian fit needs at least three channels with counts above zero; the peak "
            "has " +
            std::to_string(usable) + ".");
}

[[noreturn]] void ThrowNotAPeak() {
    throw GaussianFitError(
        "The Gaussian fit failed: the counts around the maximum do not form a peak of finite "
        "width (they do not fall away on both sides, or too few channels carry weight).");
}

GaussianFit FitAtExponent(const UsableChannels& channels, double p) {
    RequireThreeUsableValues(channels);
    GaussianFit g{};
    if (!TryFitAtExponent(channels, p, g))
        ThrowNotAPeak();
    return g;
}

}  // namespace

int32_t SelectPeakWindow(const Array1D<double>& values, Array1D<double>& window) {
    const int32_t n = values.count();
    if (n == 0) {
        window.resize(0);
        return 0;
    }
    int32_t m = 0;
    for (int32_t i = 1; i < n; ++i)
        if (values[i] > values[m])
            m = i;
    const double t = kPeakThreshold * values[m];
    int32_t start = 0;
    for (int32_t i = 0; i < m; ++i) {
        if (values[i] > t) {
            start = i > 0 ? i - 1 : 0;
            break;
        }
    }
    int32_t end = n - 1;
    for (int32_t i = m; i < n; ++i) {
        if (t > values[i]) {
            end = i;
            break;
        }
    }
    window.resize(end - start + 1);
    for (int32_t k = 0; k < window.count(); ++k)
        window[k] = values[start + k];
    return start;
}

GaussianFit FitGaussianAtExponent(const Array1D<double>& window, double p) {
    return FitAtExponent(UsableChannels(window), p);
}

GaussianPeakFit FitGaussianPeak(const Array1D<double>& window) {
    const UsableChannels channels(window);
    RequireThreeUsableValues(channels);
    const auto chiSquareAt = [&channels](double p) {
        GaussianFit g{};
        const bool ok = TryFitAtExponent(channels, p, g) && std::isfinite(g.chiSquare);
        return ok ? g.chiSquare : std::numeric_limits<double>::infinity();
    };
    const BrentMinimum best = MinimiseByBrent(chiSquareAt, kLowestExponent, kHighestExponent);
    return GaussianPeakFit{FitAtExponent(channels, best.x), best.x, best.passes};
}

}  // namespace xray
