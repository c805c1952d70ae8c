#include "cli/PlotStyle.h"

#include <plplot.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xrayutils {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    int r, g, b;
};

constexpr Rgb kPalette[kPlotColourCount] = {
    {255, 255, 255},  // paper
    {26, 26, 26},     // ink
    {222, 222, 222},  // grid
    {120, 120, 120},  // muted
    {0, 84, 147},     // data: deep blue
    {200, 40, 40},    // fit: red
    {213, 94, 0},     // alarm: vermillion
    {40, 40, 40},     // mean
    {213, 94, 0},     // O K: vermillion
    {204, 121, 167},  // Ni L: reddish purple
    {0, 158, 115},    // Mo L: bluish green
    {86, 180, 233},   // Ni K: sky blue
    {230, 159, 0},    // Mo K: orange
    {0, 0, 0},        // fill scratch
};

// Line widths follow the page so that lines keep their weight at every size.
double BaseLineWidth(const PlotSession& session) {
    return std::max(1.0, std::min(session.Size().width, session.Size().height) / 600.0);
}

void SetLineStyle(LineStyle style) {
    switch (style) {
        case LineStyle::kSolid:
            pllsty(1);
            break;
        case LineStyle::kDashed: {
            const PLINT mark[] = {3000}, space[] = {2000};
            plstyl(1, mark, space);
            break;
        }
        case LineStyle::kDotted: {
            const PLINT mark[] = {600}, space[] = {1200};
            plstyl(1, mark, space);
            break;
        }
    }
}

}  // namespace

std::string HexColour(PlotColour colour) {
    const Rgb& c = kPalette[colour];
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

void SetPlotColours() {
    PLINT r[kPlotColourCount], g[kPlotColourCount], b[kPlotColourCount];
    for (int k = 0; k < kPlotColourCount; ++k) {
        r[k] = kPalette[k].r;
        g[k] = kPalette[k].g;
        b[k] = kPalette[k].b;
    }
    plscmap0(r, g, b, kPlotColourCount);
}

void SetTextHeight(const PlotSession& session) {
    // Text follows the page's width (1.5 % of it, 15 px on a page 1000 px wide), so wide
    // charts and tall stacks of them read alike, but never takes more than 3.5 % of its
    // height.
    const double height = std::min(0.015 * session.PageWidthMm(), 0.035 * session.PageHeightMm());
    plschr(height, 1.0);
    plssym(height, 1.0);
    session.Check();
}

void SetPanel(const PlotSession& session, const PlotArea& area, double xmin, double xmax,
              double ymin, double ymax) {
    // PLplot only warns about an empty range and widens it by itself; a picture drawn on a
    // range it made up would mislead, so an empty one is an error here.
    if (!std::isfinite(xmin) || !std::isfinite(xmax) || !(xmin != xmax))
        throw PlotError("nothing to draw: the energies or times span an empty range");
    if (!std::isfinite(ymin) || !std::isfinite(ymax) || !(ymin != ymax))
        throw PlotError("nothing to draw: the values span an empty range");
    plvpor(area.left, area.right, area.bottom, area.top);
    plwind(xmin, xmax, ymin, ymax);
    plsxax(8, 0);  // numbers up to eight digits are written out, without a x10^n beside them
    plsyax(8, 0);
    session.Check();
}

void DrawAxes(const PlotSession& session, const AxisOptions& options) {
    const double width = BaseLineWidth(session);
    if (options.gridX || options.gridY) {
        plcol0(kGridColour);
        plwidth(0.6 * width);
        plbox(options.gridX ? "g" : "", 0, 0, options.gridY ? "g" : "", 0, 0);
    }
    plcol0(kInkColour);
    plwidth(width);
    plbox(options.x, 0, 0, options.y, 0, 0);
    session.Check();
}

void UseColour(PlotColour colour) {
    plcol0(colour);
}

void DrawLine(const PlotSession& session, const std::vector<double>& x,
              const std::vector<double>& y, PlotColour colour, LineStyle style, double widthScale) {
    const size_t n = std::min(x.size(), y.size());
    if (n < 2)
        return;
    plcol0(colour);
    plwidth(widthScale * BaseLineWidth(session));
    SetLineStyle(style);
    plline(static_cast<PLINT>(n), x.data(), y.data());
    SetLineStyle(LineStyle::kSolid);
    plwidth(BaseLineWidth(session));
    session.Check();
}

void FillPolygon(const PlotSession& session, const std::vector<double>& x,
                 const std::vector<double>& y, PlotColour colour, double alpha) {
    const size_t n = std::min(x.size(), y.size());
    if (n < 3)
        return;
    const Rgb& c = kPalette[colour];
    plscol0a(kFillColour, c.r, c.g, c.b, std::clamp(alpha, 0.0, 1.0));
    plcol0(kFillColour);
    plfill(static_cast<PLINT>(n), x.data(), y.data());
    session.Check();
}

void DrawErrorBars(const PlotSession& session, const std::vector<double>& x,
                   const std::vector<double>& low, const std::vector<double>& high,
                   PlotColour colour) {
    const size_t n = std::min({x.size(), low.size(), high.size()});
    if (n == 0)
        return;
    plcol0(colour);
    plwidth(0.8 * BaseLineWidth(session));
    plsmin(0, 0.6);  // short caps
    plerry(static_cast<PLINT>(n), x.data(), low.data(), high.data());
    plwidth(BaseLineWidth(session));
    session.Check();
}

double WorldPerMmX(const PlotSession& session) {
    PLFLT vx0 = 0, vx1 = 0, vy0 = 0, vy1 = 0, wx0 = 0, wx1 = 0, wy0 = 0, wy1 = 0;
    plgvpd(&vx0, &vx1, &vy0, &vy1);
    plgvpw(&wx0, &wx1, &wy0, &wy1);
    return (wx1 - wx0) / ((vx1 - vx0) * session.PageWidthMm());
}

double WorldPerMmY(const PlotSession& session) {
    PLFLT vx0 = 0, vx1 = 0, vy0 = 0, vy1 = 0, wx0 = 0, wx1 = 0, wy0 = 0, wy1 = 0;
    plgvpd(&vx0, &vx1, &vy0, &vy1);
    plgvpw(&wx0, &wx1, &wy0, &wy1);
    return (wy1 - wy0) / ((vy1 - vy0) * session.PageHeightMm());
}

void DrawMarker(const PlotSession& session, double x, double y, MarkerShape shape, bool filled,
                PlotColour colour, double sizeMm) {
    const double rx = 0.5 * sizeMm * WorldPerMmX(session);
    const double ry = 0.5 * sizeMm * WorldPerMmY(session);
    std::vector<double> px, py;
    if (shape == MarkerShape::kCircle) {
        constexpr int kSides = 20;
        for (int k = 0; k <= kSides; ++k) {
            const double a = 2 * kPi * k / kSides;
            px.push_back(x + rx * std::cos(a));
            py.push_back(y + ry * std::sin(a));
        }
    } else {
        const double s = 1.25;  // a diamond looks smaller than a circle of the same width
        px = {x, x + s * rx, x, x - s * rx, x};
        py = {y + s * ry, y, y - s * ry, y, y + s * ry};
    }
    FillPolygon(session, px, py, filled ? colour : kPaperColour, 1.0);
    DrawLine(session, px, py, colour, LineStyle::kSolid, filled ? 0.6 : 1.1);
}

void DrawText(const PlotSession& session, double x, double y, double just, const std::string& text,
              PlotColour colour, double scale) {
    plcol0(colour);
    plschr(0, scale);
    plptex(x, y, 1, 0, just, text.c_str());
    plschr(0, 1.0);
    session.Check();
}

void DrawSideText(const PlotSession& session, const char* side, double displacement,
                  double position, double just, const std::string& text, PlotColour colour,
                  double scale) {
    plcol0(colour);
    plschr(0, scale);
    plmtex(side, displacement, position, just, text.c_str());
    plschr(0, 1.0);
    session.Check();
}

}  // namespace xrayutils
