// The spectrum picture: what it shows, computed from the evaluation, and that the SVG drawn
// from it holds those points where they belong.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "cli/PlotStyle.h"
#include "cli/SpectrumPlot.h"
#include "sim/NiOxSimulation.h"
#include "tests/pictures/PictureFiles.h"

namespace xrayutils {
namespace {

using ::testing::HasSubstr;

SpectrumEvaluation EvaluationOf(const std::vector<double>& counts, const std::string& name) {
    SpectrumEvaluation e;
    e.spectrum.file = name + ".msa";
    e.spectrum.name = name;
    e.spectrum.counts = counts;
    e.spectrum.offset = 0.0f;
    e.spectrum.step = 0.01f;
    e.spectrum.record.title = "A title with # and <angle brackets>";
    e.selection.energyResolution = true;
    e.results = xray::EvaluateNiOxSpectrum(e.spectrum.AsNiOxSpectrum(), e.selection, {});
    return e;
}

SpectrumEvaluation SimulatedEvaluation() {
    xray::NiOxSimulationParameters p;
    p.liveTime = 200;
    p.realTime = 220;
    p.generatorState = 5;
    return EvaluationOf(xray::SimulateNiOxSpectrum(p).counts, "simulated");
}

// Falling Bremsstrahlung without any line: the Ni Ka fit has nothing to fit.
SpectrumEvaluation BackgroundEvaluation() {
    std::vector<double> counts(1500);
    for (size_t i = 1; i < counts.size(); ++i)
        counts[i] = std::floor(4000.0 / (i * 0.01));
    return EvaluationOf(counts, "background");
}

std::string DrawnSvg(const SpectrumPicture& picture, const std::string& name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    DrawSpectrumPicture(picture, path, PictureFormat::kSvg, kSpectrumPictureSize);
    return testsupport::ReadBinaryFile(path);
}

TEST(SpectrumPictureTest, FitPanelFollowsTheCoreFit) {
    const SpectrumEvaluation e = SimulatedEvaluation();
    ASSERT_TRUE(e.results.energyResolution.result) << e.results.energyResolution.error;
    const xray::EnergyResolution& r = *e.results.energyResolution.result;
    const SpectrumPicture p = MakeSpectrumPicture(e);
    ASSERT_TRUE(p.fit.has_value()) << p.fitError;
    const FitPanel& f = *p.fit;
    EXPECT_EQ(p.energy.size(), e.spectrum.counts.size());
    ASSERT_EQ(f.energy.size(), static_cast<size_t>(r.windowCount));
    EXPECT_NEAR(f.energy.front(), 0.01 * r.windowStart, 1e-6);
    for (size_t k = 0; k < f.energy.size(); ++k) {
        const size_t channel = r.windowStart + k;
        EXPECT_EQ(f.counts[k], e.spectrum.counts[channel]);
        EXPECT_EQ(f.fit[k], e.results.fitCurve[static_cast<int32_t>(channel)]);
        EXPECT_DOUBLE_EQ(f.error[k], std::sqrt(f.counts[k]));
        EXPECT_DOUBLE_EQ(f.residual[k],
                         (f.counts[k] - f.fit[k]) / std::sqrt(std::max(f.counts[k], 1.0)));
    }
    // The smooth curve is the same Gaussian as the core's curve at the channels.
    for (size_t k = 0; k < f.energy.size(); k += 7) {
        const double z = (f.energy[k] - r.peakPosition) / (r.sigma / 1000);
        EXPECT_NEAR(r.peakHeight * std::exp(-0.5 * z * z), f.fit[k], 1e-6 * r.peakHeight) << k;
    }
    const auto top = std::max_element(f.curve.begin(), f.curve.end());
    EXPECT_NEAR(*top, r.peakHeight, 1e-3 * r.peakHeight);
    EXPECT_NEAR(f.halfMaximum, r.peakHeight / 2, 1e-9);
    EXPECT_NEAR((f.fwhmHigh - f.fwhmLow) * 1000, r.fwhmNiKa, 1e-9);
    EXPECT_NEAR((f.fwhmHigh + f.fwhmLow) / 2, r.peakPosition, 1e-12);
    EXPECT_THAT(p.subtitle, HasSubstr("A title with # and <angle brackets>"));
}

TEST(SpectrumPictureTest, FailedFitKeepsItsMessage) {
    const SpectrumEvaluation e = BackgroundEvaluation();
    ASSERT_TRUE(e.results.energyResolution.Failed());
    const SpectrumPicture p = MakeSpectrumPicture(e);
    EXPECT_FALSE(p.fit.has_value());
    EXPECT_EQ(p.fitError, e.results.energyResolution.error);
    EXPECT_EQ(p.counts.size(), 1500u);
}

// The fit window's points are drawn as markers whose places on the page are an affine image
// of (energy, counts); the residual strip holds as many markers again.
TEST(SpectrumPictureTest, SvgHoldsTheFitPoints) {
    const SpectrumPicture p = MakeSpectrumPicture(SimulatedEvaluation());
    const testsupport::SvgContent svg = testsupport::ReadSvg(DrawnSvg(p, "fit-points.svg"));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    std::vector<testsupport::SvgPolygon> markers;
    for (const auto& polygon : svg.polygons)
        if (polygon.fill == HexColour(kDataColour) && polygon.vertices == 21)
            markers.push_back(polygon);
    const FitPanel& f = *p.fit;
    const size_t n = f.energy.size();
    ASSERT_EQ(markers.size(), 2 * n + 1) << "fit points, residuals and the legend's marker";
    const auto peak = std::max_element(f.counts.begin(), f.counts.end()) - f.counts.begin();
    const double countScale = (markers[peak].y - markers[0].y) / (f.counts[peak] - f.counts[0]);
    const double energyScale = (markers[n - 1].x - markers[0].x) / (f.energy[n - 1] - f.energy[0]);
    EXPECT_GT(countScale, 0) << "more counts stand higher";
    for (size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(markers[k].y, markers[0].y + countScale * (f.counts[k] - f.counts[0]), 0.05)
            << k;
        EXPECT_NEAR(markers[k].x, markers[0].x + energyScale * (f.energy[k] - f.energy[0]), 0.05)
            << k;
    }
    // The whole spectrum is one line in the data colour with a vertex per channel, which
    // PLplot writes in pieces.
    size_t vertices = 0, pieces = 0;
    for (const auto& line : svg.polylines) {
        if (line.stroke == HexColour(kDataColour) && line.x.size() > 30) {
            vertices += line.x.size();
            ++pieces;
        }
    }
    ASSERT_GT(pieces, 0u);
    EXPECT_EQ(vertices, p.energy.size()) << "the spectrum line in " << pieces << " pieces";
    EXPECT_THAT(svg.text, HasSubstr("FWHM"));
    EXPECT_THAT(svg.text, HasSubstr("A title with # and <angle brackets>"));
}

TEST(SpectrumPictureTest, FailedFitShowsTheMessageInPlaceOfThePanel) {
    const SpectrumPicture p = MakeSpectrumPicture(BackgroundEvaluation());
    const testsupport::SvgContent svg = testsupport::ReadSvg(DrawnSvg(p, "no-fit.svg"));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_THAT(svg.text, HasSubstr("No Ni K\xCE\xB1 fit"));
    EXPECT_THAT(svg.text, HasSubstr(p.fitError.substr(0, 30)));
    for (const auto& polygon : svg.polygons)
        EXPECT_FALSE(polygon.fill == HexColour(kDataColour) && polygon.vertices == 21)
            << "no fit points";
}

}  // namespace
}  // namespace xrayutils
