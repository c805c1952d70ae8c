// PlotStyle: the look every picture shares (a white page, dark axes and text, one palette,
// text sized to the page) and the drawing steps built on it. Everything here draws into
// the open PlotSession's stream and checks it afterwards, so a step PLplot refuses throws
// PlotError at once. Areas are in PLplot's normalised device coordinates (0 to 1 across
// and up the page).
#ifndef XRAY_CLI_PLOTSTYLE_H
#define XRAY_CLI_PLOTSTYLE_H

#include <string>
#include <vector>

#include "cli/PlotSession.h"

namespace xrayutils {

// The palette, as indices of PLplot's colour map 0. The five line colours follow the
// Okabe-Ito palette, which colour-blind readers tell apart.
enum PlotColour : int {
    kPaperColour = 0,  // white background
    kInkColour,        // axes, labels, text
    kGridColour,       // light grid lines
    kMutedColour,      // secondary text, culled entries
    kDataColour,       // measured values
    kFitColour,        // fitted curves
    kAlarmColour,      // values outside control limits, limit lines
    kMeanColour,       // baseline mean
    kOxygenColour,     // O K windows
    kNickelLColour,    // Ni L windows
    kMolybdenumLColour,
    kNickelKColour,
    kMolybdenumKColour,
    kFillColour,  // scratch entry for translucent fills
    kPlotColourCount
};

// The palette's colour as "#RRGGBB", the form SVG and HTML write it in.
std::string HexColour(PlotColour colour);

// Installs the palette; called by PlotSession before PLplot starts the page.
void SetPlotColours();

// Sets the text height from the page size, so a picture reads alike at every size.
void SetTextHeight(const PlotSession& session);

struct PlotArea {
    double left = 0.0, right = 1.0, bottom = 0.0, top = 1.0;
};

// Makes `area` the viewport and [xmin, xmax] x [ymin, ymax] its world coordinates. Throws
// PlotError for a range that is empty or not finite.
void SetPanel(const PlotSession& session, const PlotArea& area, double xmin, double xmax,
              double ymin, double ymax);

// Axis options for DrawAxes: PLplot's box option letters ("bcnst", "bcnstl", ...).
struct AxisOptions {
    const char* x = "bcnst";
    const char* y = "bcnstv";
    bool gridX = true;  // light lines at the x ticks
    bool gridY = true;
};

// The panel's frame, ticks and numbers in ink, over light grid lines where asked.
void DrawAxes(const PlotSession& session, const AxisOptions& options);

void UseColour(PlotColour colour);

// Line styles: solid, dashed, dotted; `widthScale` multiplies the default line width.
enum class LineStyle { kSolid, kDashed, kDotted };
void DrawLine(const PlotSession& session, const std::vector<double>& x,
              const std::vector<double>& y, PlotColour colour, LineStyle style = LineStyle::kSolid,
              double widthScale = 1.0);

// A polygon filled with `colour` at opacity `alpha` (0 to 1).
void FillPolygon(const PlotSession& session, const std::vector<double>& x,
                 const std::vector<double>& y, PlotColour colour, double alpha);

void DrawErrorBars(const PlotSession& session, const std::vector<double>& x,
                   const std::vector<double>& low, const std::vector<double>& high,
                   PlotColour colour);

enum class MarkerShape { kCircle, kDiamond };

// A marker centred on (x, y) in world coordinates, `sizeMm` across: filled with its colour,
// or hollow (white inside, outlined in its colour).
void DrawMarker(const PlotSession& session, double x, double y, MarkerShape shape, bool filled,
                PlotColour colour, double sizeMm);

// Text at (x, y) in world coordinates; `just` 0 aligns its left end, 0.5 its middle, 1 its
// right end; `scale` multiplies the text height. `text` must already be PlotText.
void DrawText(const PlotSession& session, double x, double y, double just, const std::string& text,
              PlotColour colour = kInkColour, double scale = 1.0);

// Text beside the viewport, as PLplot's plmtex places it ("t", "b", "l", "r", "lv", ...).
void DrawSideText(const PlotSession& session, const char* side, double displacement,
                  double position, double just, const std::string& text,
                  PlotColour colour = kInkColour, double scale = 1.0);

// The world size of one millimetre on the page, across and up, in the current panel.
double WorldPerMmX(const PlotSession& session);
double WorldPerMmY(const PlotSession& session);

}  // namespace xrayutils

#endif  // XRAY_CLI_PLOTSTYLE_H
