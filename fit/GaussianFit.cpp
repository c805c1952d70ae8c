#include "fit/GaussianFit.h"

#include <cmath>
#include <limits>
#include <string>

#include "fit/BrentMinimiser.h"

namespace {

constexpr double kPeakThreshold = 0.1;
constexpr double kLowestExponent = 1.0;
constexpr double kHighestExponent = 10.0;

bool Usable(double y) {
    return y > 0.0 && std::isfinite(y);
}

int32_t CountUsable(const Array1D<double>& y) {
    int32_t n = 0;
    for (double v : y)
        n += Usable(v) ? 1 : 0;
    return n;
}

// The weighted sums of the normal equations: S_k = sum w i^k, T_k = sum w ln(y) i^k.
struct NormalSums {
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
    double t0 = 0, t1 = 0, t2 = 0;
};

NormalSums Accumulate(const Array1D<double>& y, double p) {
    NormalSums s;
    for (int32_t i = 0; i < y.count(); ++i) {
        if (!Usable(y[i]))
            continue;
        const double w = std::pow(y[i], p);
        const double wl = w * std::log(y[i]);
        const double x = i;
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

double ChiSquare(const Array1D<double>& y, const GaussianFit& g) {
    double chi = 0.0;
    for (int32_t i = 0; i < y.count(); ++i) {
        if (!Usable(y[i]))
            continue;
        const double dx = i - g.mu;
        const double r = y[i] - g.height * std::exp(-dx * dx / (2 * g.sigma * g.sigma));
        chi += r * r / y[i];
    }
    return chi;
}

// The fit at exponent p; false when the parabola gives no finite Gaussian. The caller has
// made sure that at least three values are usable.
bool TryFitAtExponent(const Array1D<double>& y, double p, GaussianFit& g) {
    const Parabola q = SolveNormalEquations(Accumulate(y, p));
    if (!(q.c < 0.0))
        return false;
    g.sigma = std::sqrt(-1.0 / (2 * q.c));
    g.mu = q.b * g.sigma * g.sigma;
    g.height = std::exp(q.a + g.mu * g.mu / (2.0 * g.sigma * g.sigma));
    if (!std::isfinite(g.sigma) || !std::isfinite(g.mu) || !std::isfinite(g.height))
        return false;
    g.chiSquare = ChiSquare(y, g);
    return true;
}

void RequireThreeUsableValues(const Array1D<double>& y) {
    const int32_t usable = CountUsable(y);
    if (usable < 3)
        throw GaussianFitError(
            "The Gaussian fit needs at least three channels with counts above zero; the peak "
            "has " +
            std::to_string(usable) + ".");
}

[[noreturn]] void ThrowNotAPeak() {
    throw GaussianFitError(
        "The Gaussian fit failed: the counts do not fall away on both sides of the peak, so "
        "no finite peak width can be fitted.");
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
    RequireThreeUsableValues(window);
    GaussianFit g{};
    if (!TryFitAtExponent(window, p, g))
        ThrowNotAPeak();
    return g;
}

GaussianPeakFit FitGaussianPeak(const Array1D<double>& window) {
    RequireThreeUsableValues(window);
    const auto chiSquareAt = [&window](double p) {
        GaussianFit g{};
        const bool ok = TryFitAtExponent(window, p, g) && std::isfinite(g.chiSquare);
        return ok ? g.chiSquare : std::numeric_limits<double>::infinity();
    };
    const BrentMinimum best = MinimiseByBrent(chiSquareAt, kLowestExponent, kHighestExponent);
    return GaussianPeakFit{FitGaussianAtExponent(window, best.x), best.x, best.passes};
}
