#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "fit/BrentMinimiser.h"

namespace xray {

namespace {

// (p - 3)^2 on [1, 10], traced by hand: two golden-section steps towards 3 (the first
// parabola through x = w = v is degenerate and rejected), one parabolic step that lands on
// the minimum, then one tol1 probe on each side, and the ending test.
TEST(BrentMinimiserTest, FollowsTheHandTracedPathOnAParabola) {
    std::vector<double> trials;
    const auto f = [&trials](double p) {
        trials.push_back(p);
        return (p - 3) * (p - 3);
    };
    const BrentMinimum m = MinimiseByBrent(f, 1.0, 10.0);

    const double golden1 = 5.5 - 0.381966 * 4.5;
    const double golden2 = golden1 - 0.381966 * (golden1 - 1.0);
    const double tol1 = 0.001 * 3 + 2.220446049250313e-16;
    const std::vector<double> expected = {5.5, golden1, golden2, 3.0, 3.0 + tol1, 3.0 - tol1};
    ASSERT_EQ(trials.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(trials[i], expected[i], 1e-12) << i;

    EXPECT_NEAR(m.x, 3.0, 1e-12);
    EXPECT_EQ(m.fx, (m.x - 3) * (m.x - 3));
    EXPECT_EQ(m.passes, 6) << "five trial points and the ending pass";
}

TEST(BrentMinimiserTest, ReachesAMinimumAtTheBracketEdge) {
    int calls = 0;
    const BrentMinimum m = MinimiseByBrent(
        [&calls](double p) {
            ++calls;
            return p;
        },
        1.0, 10.0);
    EXPECT_NEAR(m.x, 1.0, 0.01);
    EXPECT_EQ(m.passes, calls) << "passes = trial points + 1 = calls, the start included";
}

TEST(BrentMinimiserTest, MovesAwayFromPointsThatCannotBeEvaluated) {
    const double inf = std::numeric_limits<double>::infinity();
    const BrentMinimum m =
        MinimiseByBrent([inf](double p) { return p > 4 ? inf : (p - 2) * (p - 2); }, 1.0, 10.0);
    EXPECT_NEAR(m.x, 2.0, 0.005);
}

}  // namespace

}  // namespace xray
