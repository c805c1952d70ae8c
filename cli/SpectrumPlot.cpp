#include "cli/SpectrumPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "cli/NiOxRecord.h"
#include "cli/PlotStyle.h"
#include "niox/NiOxWindows.h"
#include "niox/ReportFormat.h"

namespace xrayutils {

using namespace xray;

namespace {

constexpr int kCurvePoints = 400;

// The page's areas, in normalised device coordinates.
constexpr double kLeft = 0.095, kRight = 0.975;
constexpr PlotArea kWindowStrip{kLeft, kRight, 0.80, 0.89};
constexpr PlotArea kSpectrumArea{kLeft, kRight, 0.535, 0.785};
constexpr PlotArea kFitArea{kLeft, kRight, 0.25, 0.425};
constexpr PlotArea kResidualArea{kLeft, kRight, 0.1, 0.23};
constexpr PlotArea kPage{0.0, 1.0, 0.0, 1.0};

PlotColour ColourOf(WindowRow line) {
    switch (line) {
        case kOxygenK:
            return kOxygenColour;
        case kNickelL:
            return kNickelLColour;
        case kMolybdenumL:
            return kMolybdenumLColour;
        case kNickelK:
            return kNickelKColour;
        case kMolybdenumK:
            return kMolybdenumKColour;
    }
    return kInkColour;
}

// Strip rows from the top, in order of energy.
constexpr WindowRow kStripOrder[] = {kOxygenK, kNickelL, kMolybdenumL, kNickelK, kMolybdenumK};

int StripRowOf(WindowRow line) {
    for (int k = 0; k < 5; ++k)
        if (kStripOrder[k] == line)
            return 4 - k;
    return 0;
}

// At most six significant digits, without trailing zeros: "200", "1000", "60.5".
std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string Subtitle(const ReadSpectrum& s) {
    std::vector<std::string> parts;
    if (!CleanText(s.record.title).empty())
        parts.push_back(CleanText(s.record.title));
    const Json acquired = AcquiredOf(s.record);
    if (acquired.is_string()) {
        std::string text = acquired.get<std::string>();
        text[10] = ' ';
        parts.push_back(text);
    }
    if (s.record.keywordsRead.count("BEAMKV") != 0)
        parts.push_back(ShortNumber(s.record.beamkv) + " kV");
    if (s.record.keywordsRead.count("LIVETIME") != 0)
        parts.push_back(ShortNumber(s.record.livetime) + " s live time");
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "  \xC2\xB7  ") + part;  // middle dot
    return text;
}

FitPanel MakeFitPanel(const ReadSpectrum& s, const EnergyResolution& r,
                      const Array1D<double>& fitCurve) {
    FitPanel p;
    const int32_t first = r.windowStart;
    const int32_t last =
        std::min<int32_t>(first + r.windowCount, static_cast<int32_t>(s.counts.size()));
    for (int32_t i = first; i < last; ++i) {
        const double n = s.counts[i];
        const double f = i < fitCurve.count() ? fitCurve[i] : 0.0;
        p.energy.push_back(double(s.offset) + double(s.step) * i);
        p.counts.push_back(n);
        p.error.push_back(n > 0 ? std::sqrt(n) : 0.0);
        p.fit.push_back(f);
        p.residual.push_back((n - f) / std::sqrt(std::max(n, 1.0)));
    }
    p.peakPosition = r.peakPosition;
    p.halfMaximum = 0.5 * r.peakHeight;
    p.fwhmNiKa = r.fwhmNiKa;
    p.fwhmMnKa = r.fwhmMnKa;
    p.fwhmLow = r.peakPosition - r.fwhmNiKa / 2000.0;
    p.fwhmHigh = r.peakPosition + r.fwhmNiKa / 2000.0;
    if (!p.energy.empty()) {
        const double sigma = r.sigma / 1000.0;  // keV
        const double from = p.energy.front(), to = p.energy.back();
        for (int k = 0; k < kCurvePoints; ++k) {
            const double e = from + (to - from) * k / (kCurvePoints - 1);
            const double z = (e - r.peakPosition) / sigma;
            p.curveEnergy.push_back(e);
            p.curve.push_back(r.peakHeight * std::exp(-0.5 * z * z));
        }
    }
    return p;
}

// Splits a message into lines of at most `width` characters at spaces.
std::vector<std::string> WrapText(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void DrawTitle(const PlotSession& session, const SpectrumPicture& p) {
    SetPanel(session, kPage, 0, 1, 0, 1);
    DrawText(session, kLeft, 0.963, 0.0, PlotText(p.name), kInkColour, 1.35);
    DrawText(session, kLeft, 0.933, 0.0, PlotText(p.subtitle), kMutedColour, 0.9);
}

void DrawWindowStrip(const PlotSession& session, double xmin, double xmax) {
    SetPanel(session, kWindowStrip, xmin, xmax, 0, 5);
    const EnergyWindow* windows = EnergyWindows();
    for (int32_t w = 0; w < kEnergyWindowCount; ++w) {
        const EnergyWindow& window = windows[w];
        const double y0 = StripRowOf(window.line) + 0.18, y1 = y0 + 0.64;
        const std::vector<double> x = {window.lower, window.upper, window.upper, window.lower};
        const std::vector<double> y = {y0, y0, y1, y1};
        FillPolygon(session, x, y, ColourOf(window.line), window.peak ? 0.95 : 0.35);
    }
    for (const WindowRow line : kStripOrder)
        DrawSideText(session, "lv", 0.6, (StripRowOf(line) + 0.5) / 5, 1.0, WindowLineName(line),
                     kInkColour, 0.75);
    DrawSideText(session, "t", 0.5, 1.0, 1.0,
                 "NiOx windows: solid = peak, light = background, shaded alike below", kMutedColour,
                 0.75);
}

void DrawSpectrumPanel(const PlotSession& session, const SpectrumPicture& p) {
    const double xmin = p.energy.front(), xmax = p.energy.back();
    double largest = 1.0, smallest = 0.0;
    for (const double n : p.counts) {
        largest = std::max(largest, n);
        if (n > 0)
            smallest = smallest > 0 ? std::min(smallest, n) : n;
    }
    const double ylow = smallest >= 10 ? std::floor(std::log10(smallest)) : 0.0;
    const double ytop = std::log10(largest) + 0.25;
    SetPanel(session, kSpectrumArea, xmin, xmax, ylow, ytop);
    const EnergyWindow* windows = EnergyWindows();
    for (int32_t w = 0; w < kEnergyWindowCount; ++w) {
        const EnergyWindow& window = windows[w];
        const std::vector<double> x = {window.lower, window.upper, window.upper, window.lower};
        const std::vector<double> y = {ylow, ylow, ytop, ytop};
        FillPolygon(session, x, y, ColourOf(window.line), window.peak ? 0.22 : 0.09);
    }
    DrawAxes(session, AxisOptions{"bcnst", "bcnstlv", true, true});
    std::vector<double> logCounts;
    for (const double n : p.counts)
        logCounts.push_back(std::max(ylow, std::log10(std::max(n, 1.0))));
    DrawLine(session, p.energy, logCounts, kDataColour, LineStyle::kSolid, 1.0);
    DrawSideText(session, "b", 3.0, 0.5, 0.5, "Energy (keV)");
    DrawSideText(session, "l", 3.8, 0.5, 0.5, "Counts per channel");
    DrawWindowStrip(session, xmin, xmax);
}

void DrawFitLegend(const PlotSession& session, double x, double y, double dy) {
    const double mmX = WorldPerMmX(session);
    const double textX = x + 5 * mmX;
    DrawErrorBars(session, {x}, {y - 0.35 * dy}, {y + 0.35 * dy}, kDataColour);
    DrawMarker(session, x, y, MarkerShape::kCircle, true, kDataColour, 1.6);
    DrawText(session, textX, y - 0.3 * dy, 0.0, "counts \xC2\xB1 \xE2\x88\x9AN", kInkColour, 0.8);
    DrawLine(session, {x - 3 * mmX, x + 3 * mmX}, {y - dy, y - dy}, kFitColour, LineStyle::kSolid,
             1.6);
    DrawText(session, textX, y - 1.3 * dy, 0.0, "fitted Gaussian", kInkColour, 0.8);
    DrawLine(session, {x - 3 * mmX, x + 3 * mmX}, {y - 2 * dy, y - 2 * dy}, kFitColour,
             LineStyle::kDashed, 1.2);
    DrawText(session, textX, y - 2.3 * dy, 0.0, "full width at half maximum", kInkColour, 0.8);
}

// Counts in thousands above this, so that the axis numbers stay short.
constexpr double kThousands = 20000;

void DrawFitPanel(const PlotSession& session, const FitPanel& f) {
    const double step = f.energy.size() > 1 ? f.energy[1] - f.energy[0] : 0.01;
    const double xmin = f.energy.front() - step, xmax = f.energy.back() + step;
    double top = 1.0;
    for (size_t k = 0; k < f.counts.size(); ++k)
        top = std::max(top, f.counts[k] + f.error[k]);
    const double unit = top > kThousands ? 1000.0 : 1.0;
    top *= 1.12 / unit;
    SetPanel(session, kFitArea, xmin, xmax, -0.03 * top, top);  // whole markers at 0 counts
    DrawAxes(session, AxisOptions{"bcst", "bcnstv", true, true});
    DrawSideText(session, "l", 4.2, 0.5, 0.5, unit > 1 ? "Counts (10\xC2\xB3)" : "Counts");
    DrawSideText(session, "t", 0.8, 0.0, 0.0,
                 "Ni K\xCE\xB1 fit:  FWHM " + Fixed(f.fwhmNiKa, 1) + " eV at Ni K\xCE\xB1,  " +
                     Fixed(f.fwhmMnKa, 1) + " eV at Mn K\xCE\xB1");
    std::vector<double> counts, low, high, curve;
    for (size_t k = 0; k < f.counts.size(); ++k) {
        counts.push_back(f.counts[k] / unit);
        low.push_back((f.counts[k] - f.error[k]) / unit);
        high.push_back((f.counts[k] + f.error[k]) / unit);
    }
    for (const double value : f.curve)
        curve.push_back(value / unit);
    DrawErrorBars(session, f.energy, low, high, kDataColour);
    DrawLine(session, f.curveEnergy, curve, kFitColour, LineStyle::kSolid, 1.6);
    for (size_t k = 0; k < counts.size(); ++k)
        DrawMarker(session, f.energy[k], counts[k], MarkerShape::kCircle, true, kDataColour, 1.6);
    // The width at half maximum, with short end ticks and its value.
    const double half = f.halfMaximum / unit, tick = 0.04 * top;
    DrawLine(session, {f.fwhmLow, f.fwhmHigh}, {half, half}, kFitColour, LineStyle::kDashed, 1.2);
    for (const double x : {f.fwhmLow, f.fwhmHigh})
        DrawLine(session, {x, x}, {half - tick, half + tick}, kFitColour, LineStyle::kSolid, 1.2);
    DrawText(session, f.fwhmHigh + 2 * WorldPerMmX(session), half - 0.3 * tick, 0.0,
             "FWHM " + Fixed(f.fwhmNiKa, 1) + " eV", kFitColour, 0.85);
    DrawFitLegend(session, xmin + 0.025 * (xmax - xmin), 0.88 * top, 0.11 * top);

    double extent = 3.0;
    for (const double r : f.residual)
        extent = std::max(extent, std::ceil(std::abs(r) + 0.5));
    SetPanel(session, kResidualArea, xmin, xmax, -extent, extent);
    DrawAxes(session, AxisOptions{"bcnst", "bcnstv", true, true});
    DrawLine(session, {xmin, xmax}, {0, 0}, kInkColour, LineStyle::kSolid, 0.8);
    for (const double level : {-2.0, 2.0})
        DrawLine(session, {xmin, xmax}, {level, level}, kMutedColour, LineStyle::kDotted, 0.8);
    for (size_t k = 0; k < f.residual.size(); ++k)
        DrawMarker(session, f.energy[k], f.residual[k], MarkerShape::kCircle, true, kDataColour,
                   1.2);
    DrawSideText(session, "l", 4.2, 0.5, 0.5, "Residual (\xCF\x83)");
    DrawSideText(session, "b", 3.0, 0.5, 0.5, "Energy (keV)");
}

void DrawFitFailure(const PlotSession& session, const std::string& message) {
    const PlotArea area{kLeft, kRight, kResidualArea.bottom, kFitArea.top};
    SetPanel(session, area, 0, 1, 0, 1);
    DrawAxes(session, AxisOptions{"bc", "bc", false, false});
    DrawText(session, 0.5, 0.62, 0.5, "No Ni K\xCE\xB1 fit", kAlarmColour, 1.2);
    double y = 0.5;
    for (const std::string& line : WrapText(message, 90)) {
        DrawText(session, 0.5, y, 0.5, PlotText(line), kInkColour, 0.9);
        y -= 0.08;
    }
}

}  // namespace

SpectrumPicture MakeSpectrumPicture(const SpectrumEvaluation& evaluation) {
    const ReadSpectrum& s = evaluation.spectrum;
    SpectrumPicture p;
    p.name = CleanText(s.name);
    p.subtitle = Subtitle(s);
    for (size_t i = 0; i < s.counts.size(); ++i) {
        p.energy.push_back(double(s.offset) + double(s.step) * static_cast<double>(i));
        p.counts.push_back(s.counts[i]);
    }
    const Evaluation<EnergyResolution>& resolution = evaluation.results.energyResolution;
    if (resolution.result && resolution.result->windowCount > 0)
        p.fit = MakeFitPanel(s, *resolution.result, evaluation.results.fitCurve);
    else if (resolution.Failed())
        p.fitError = resolution.error;
    else
        p.fitError = "The energy resolution was not evaluated.";
    return p;
}

void DrawSpectrumPicture(const SpectrumPicture& picture, const std::string& path,
                         PictureFormat format, PictureSize size) {
    if (picture.energy.size() < 2)
        throw PlotError("the spectrum of " + picture.name + " has fewer than two channels");
    PlotSession session(path, format, size);
    DrawTitle(session, picture);
    DrawSpectrumPanel(session, picture);
    if (picture.fit)
        DrawFitPanel(session, *picture.fit);
    else
        DrawFitFailure(session, picture.fitError);
    session.Finish();
}

}  // namespace xrayutils
