// PerturbationError: the counting-statistics error of a value derived from counts.
//
// For k = 1, 2, 3 each count N_i alone is raised to N_i + k sqrt(N_i), the value is
// recomputed, and the deviations from the nominal value are added in quadrature. Only
// upward changes are used. A negative count makes its square root, and so the errors, not
// a number; that is reported as such, not hidden.
#ifndef XRAY_NIOX_PERTURBATIONERROR_H
#define XRAY_NIOX_PERTURBATIONERROR_H

#include <array>
#include <cmath>
#include <cstddef>

namespace xray {

// The 1, 2 and 3 sigma errors (68 %, 95 %, 99 %), at indices 0, 1, 2.
using SigmaErrors = std::array<double, 3>;

// `value` maps the counts (a std::array<double, N>) to the derived value.
template <std::size_t N, typename Value>
SigmaErrors PerturbationError(const std::array<double, N>& counts, Value value) {
    const double nominal = value(counts);
    SigmaErrors errors{};
    for (int k = 1; k <= 3; ++k) {
        double sum = 0.0;
        for (std::size_t i = 0; i < N; ++i) {
            std::array<double, N> raised = counts;
            raised[i] = counts[i] + k * std::sqrt(counts[i]);
            const double deviation = value(raised) - nominal;
            sum += deviation * deviation;
        }
        errors[k - 1] = std::sqrt(sum);
    }
    return errors;
}

}  // namespace xray

#endif  // XRAY_NIOX_PERTURBATIONERROR_H
