#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NiOxTables.h"
#include "niox/InverseHoleCount.h"
#include "niox/MoKLRatio.h"
#include "niox/PeakToBackground.h"

namespace xray {

namespace {

const char* const kEnd = "\n************************************************\n\n";

TEST(InverseHoleCountTest, KnownAnswerAndBlock) {
    const WindowTable w = WindowsOf({{0, 0}, {0, 0}, {10000, 500}, {0, 0}, {100, 50}});
    const InverseHoleCount r = ComputeInverseHoleCount(w);
    EXPECT_EQ(r.ratio, 100.0);
    EXPECT_NEAR(r.errors[0], std::sqrt(1 + std::pow(100 - 10000.0 / 110, 2)), 1e-12);
    EXPECT_NEAR(r.errors[1], std::sqrt(4 + std::pow(100 - 10000.0 / 120, 2)), 1e-12);
    EXPECT_EQ(WriteInverseHoleCountBlock(r),
              std::string("\n******** Results of inverse hole-count *********\n"
                          "\t\tMeasured intensities\n"
                          "\t\tGross NiK peak: 10500.0 (count)\n"
                          "\t\tNiK backgound:  500.0 (count)\n"
                          "\t\tNet NiK peak:   10000.0 (count)\n"
                          "\t\tGross MoK peak: 150.0 (count)\n"
                          "\t\tMoK backgound:  50.0 (count)\n"
                          "\t\tNet MoK peak:   100.0 (count)\n"
                          "\n"
                          "\t\tInverse hole-count: 100.00\n"
                          "\t\tError 1sigma(68%):  9.15\n"
                          "\t\tError 2sigma(95%):  16.79\n"
                          "\t\tError 3sigma(99%):  23.27") +
                  kEnd);
}

TEST(InverseHoleCountTest, NoMoKCountsStillGiveABlock) {
    const WindowTable w = WindowsOf({{0, 0}, {0, 0}, {10000, 500}, {0, 0}, {0, 0}});
    const InverseHoleCount r = ComputeInverseHoleCount(w);
    EXPECT_TRUE(std::isinf(r.ratio));
    EXPECT_TRUE(std::isnan(r.errors[0]));
    EXPECT_NE(EvaluateInverseHoleCount(w).find("Inverse hole-count: inf\n"), std::string::npos);
}

TEST(MoKLRatioTest, KnownAnswerAndBlock) {
    const WindowTable w = WindowsOf({{0, 0}, {0, 0}, {0, 0}, {100, 7}, {400, 9}});
    const MoKLRatio r = ComputeMoKLRatio(w);
    EXPECT_EQ(r.ratio, 4.0);
    EXPECT_NEAR(r.errors[0], std::sqrt(std::pow(4 - 4.2, 2) + std::pow(4 - 400.0 / 110, 2)), 1e-12);
    EXPECT_EQ(EvaluateMoKLRatio(w),
              std::string("\n************ Results of Mo K/L ratio ***********\n"
                          "\t\tMeasured intensities\n"
                          "\t\tNet MoK peak: 400.0 (count)\n"
                          "\t\tNet Mo L peak:  100.0 (count)\n"
                          "\n"
                          "\t\tMo K/L ratio:         4.00\n"
                          "\t\tError 1sigma(68%): 0.42\n"
                          "\t\tError 2sigma(95%): 0.78\n"
                          "\t\tError 3sigma(99%): 1.10") +
                  kEnd);
}

const std::string kFioriBlock = std::string(
                                    "\n********** Results of Fiori P/B ratio **********\n"
                                    "\t\tMeasured intensities\n"
                                    "\t\tGross NiK peak: 8400.0 (count)\n"
                                    "\t\tNiK backgound:  400.0 (count)\n"
                                    "\t\tNet NiK peak:   8000.0 (count)\n"
                                    "\t\tWindowWidth for 10 eV: 60.0\n"
                                    "\n"
                                    "\t\tFiori P/B:         1200.00\n"
                                    "\t\tError 1sigma(68%): 58.70\n"
                                    "\t\tError 2sigma(95%): 112.34\n"
                                    "\t\tError 3sigma(99%): 161.61") +
                                kEnd;
const std::string kTotalBlock = std::string(
                                    "\n********** Results of total P/B ratio **********\n"
                                    "\t\tMeasured intensities\n"
                                    "\t\tGross NiK peak: 8400.0 (count)\n"
                                    "\t\tNiK backgound:  400.0 (count)\n"
                                    "\t\tNet NiK peak:   8000.0 (count)\n"
                                    "\n"
                                    "\t\tTotal P/B:         20.00\n"
                                    "\t\tError 1sigma(68%): 0.98\n"
                                    "\t\tError 2sigma(95%): 1.87\n"
                                    "\t\tError 3sigma(99%): 2.69") +
                                kEnd;

TEST(PeakToBackgroundTest, SelectionsAndBlocks) {
    const WindowTable w = WindowsOf({{0, 0}, {0, 0}, {8000, 400}, {0, 0}, {0, 0}});
    EXPECT_EQ(EvaluatePeakToBackground(1, 0.01, w, 60), kFioriBlock);
    EXPECT_EQ(EvaluatePeakToBackground(2, 0.01, w, 60), kTotalBlock);
    EXPECT_EQ(EvaluatePeakToBackground(3, 0.01, w, 60), kFioriBlock + kTotalBlock);
    EXPECT_EQ(EvaluatePeakToBackground(0, 0.01, w, 60), "");
    EXPECT_EQ(EvaluatePeakToBackground(4, 0.01, w, 60), "");
}

TEST(PeakToBackgroundTest, FioriIsTotalTimesTheWidthIn10eV) {
    const WindowTable w = WindowsOf({{0, 0}, {0, 0}, {5321, 777}, {0, 0}, {0, 0}});
    const PeakToBackground r = ComputePeakToBackground(0.01, w, 60);
    EXPECT_EQ(r.windowWidth10eV, 60.0);
    EXPECT_NEAR(r.fiori, 60 * r.total, 1e-9 * r.fiori);

    const PeakToBackground none = ComputePeakToBackground(0.01, w, 0);
    EXPECT_EQ(none.fiori, 0.0) << "no Ni K channel: the background per 10 eV is infinite";
    EXPECT_EQ(none.total, r.total);
}

}  // namespace

}  // namespace xray
