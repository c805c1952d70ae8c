#include "sim/CountGenerator.h"

#include <cmath>

namespace xray {

double CountGenerator::Uniform() {
    return static_cast<double>(fEngine() >> 11) * 0x1.0p-53;
}

int64_t CountGenerator::Poisson(double mean) {
    if (!(mean > 0.0) || !std::isfinite(mean))
        return 0;
    return mean < 10.0 ? PoissonSmall(mean) : PoissonLarge(mean);
}

int64_t CountGenerator::PoissonSmall(double mean) {
    const double limit = std::exp(-mean);
    int64_t k = 0;
    double product = Uniform();
    while (product > limit) {
        ++k;
        product *= Uniform();
    }
    return k;
}

// W. Hormann, "The transformed rejection method for generating Poisson random variables",
// Insurance: Mathematics and Economics 12 (1993) 39-45.
int64_t CountGenerator::PoissonLarge(double mean) {
    const double root = std::sqrt(mean);
    const double logMean = std::log(mean);
    const double b = 0.931 + 2.53 * root;
    const double a = -0.059 + 0.02483 * b;
    const double inverseAlpha = 1.1239 + 1.1328 / (b - 3.4);
    const double vr = 0.9277 - 3.6224 / (b - 2.0);
    for (;;) {
        const double u = Uniform() - 0.5;
        const double v = Uniform();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2.0 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= vr)
            return static_cast<int64_t>(k);
        if (k < 0.0 || (us < 0.013 && v > us))
            continue;
        if (std::log(v) + std::log(inverseAlpha) - std::log(a / (us * us) + b) <=
            -mean + k * logMean - std::lgamma(k + 1.0))
            return static_cast<int64_t>(k);
    }
}

}  // namespace xray
