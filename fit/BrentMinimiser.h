// MinimiseByBrent: Brent's one-dimensional minimiser (parabolic interpolation with
// golden-section fallback) over a closed bracket, starting at its midpoint.
//
// The steps, constants and tolerances are fixed so that a given objective always visits
// the same trial points: tol1 = 0.001 |x| + 2^-52 and tol2 = 2 tol1, recomputed whenever
// the best point x moves; the golden-section factor is 0.381966. The search ends when
// |x - xm| <= tol2 - (hi - lo) / 2, xm being the bracket's midpoint. There is no pass
// limit: the bracket shrinks on every pass.
//
// `passes` counts every pass, including the one whose test ends the search, so a search
// that evaluated k trial points (besides the start) reports k + 1. The objective is a
// callable double(double); it should return +infinity, never NaN, for a point it cannot
// evaluate, since NaN compares false with everything. Nothing is allocated; whatever the
// objective throws passes unchanged.
#ifndef XRAY_FIT_BRENTMINIMISER_H
#define XRAY_FIT_BRENTMINIMISER_H

#include <cmath>

namespace xray {

struct BrentMinimum {
    double x;    // the best point found
    double fx;   // the objective at x
    int passes;  // passes made, the ending one included
};

namespace brent_detail {

constexpr double kGoldenSection = 0.381966;
constexpr double kRelativeTolerance = 0.001;
constexpr double kAbsoluteTolerance = 2.220446049250313e-16;  // 2^-52

// The three best points so far: x the best, w the second best, v the previous w.
struct Points {
    double x, w, v, fx, fw, fv;
};

inline double Tolerance(double x) {
    return kRelativeTolerance * std::fabs(x) + kAbsoluteTolerance;
}

// The parabolic step through x, w and v, or false when it is unusable: not smaller than
// half the step before last, or leaving the bracket. `e` and `d` are the last two steps.
inline bool ParabolicStep(const Points& p, double lo, double hi, double& e, double& d) {
    double r = (p.x - p.w) * (p.fx - p.fv);
    double q = (p.x - p.v) * (p.fx - p.fw);
    double s = (p.x - p.v) * q - (p.x - p.w) * r;
    q = 2.0 * (q - r);
    if (q > 0.0)
        s = -s;
    q = std::fabs(q);
    const double eOld = e;
    e = d;
    if (std::fabs(s) >= std::fabs(0.5 * q * eOld) || s <= q * (lo - p.x) || s >= q * (hi - p.x))
        return false;
    d = s / q;
    return true;
}

// Narrows the bracket around the best point after evaluating u, and reorders x, w, v.
inline void Update(Points& p, double u, double fu, double& lo, double& hi) {
    if (fu <= p.fx) {
        if (u >= p.x) {
            lo = p.x;
        } else {
            hi = p.x;
        }
        p = Points{u, p.x, p.w, fu, p.fx, p.fw};
        return;
    }
    if (u < p.x) {
        lo = u;
    } else {
        hi = u;
    }
    if (fu <= p.fw || p.w == p.x) {
        p.v = p.w;
        p.fv = p.fw;
        p.w = u;
        p.fw = fu;
    } else if (fu <= p.fv || p.v == p.x || p.v == p.w) {
        p.v = u;
        p.fv = fu;
    }
}

}  // namespace brent_detail

// REQUIRES: lo < hi.
template <typename Objective>
BrentMinimum MinimiseByBrent(Objective&& f, double lo, double hi) {
    using namespace brent_detail;
    const double start = 0.5 * (lo + hi);
    const double fStart = f(start);
    Points p{start, start, start, fStart, fStart, fStart};
    double e = 0.0;  // the step before last
    double d = 0.0;  // the last step
    int passes = 0;
    for (;;) {
        ++passes;
        const double tol1 = Tolerance(p.x);
        const double tol2 = 2.0 * tol1;
        const double xm = 0.5 * (lo + hi);
        if (std::fabs(p.x - xm) <= tol2 - 0.5 * (hi - lo))
            break;
        if (std::fabs(e) > tol1 && ParabolicStep(p, lo, hi, e, d)) {
            const double u = p.x + d;
            if (u - lo < tol2 || hi - u < tol2)
                d = xm - p.x >= 0.0 ? tol1 : -tol1;
        } else {
            e = p.x >= xm ? lo - p.x : hi - p.x;
            d = kGoldenSection * e;
        }
        const double u = std::fabs(d) >= tol1 ? p.x + d : (d >= 0.0 ? p.x + tol1 : p.x - tol1);
        Update(p, u, f(u), lo, hi);
    }
    return BrentMinimum{p.x, p.fx, passes};
}

}  // namespace xray

#endif  // XRAY_FIT_BRENTMINIMISER_H
