// ControlChart: control charts of tracked quantities against acquisition date.
//
// Each chart shows one quantity's entries with their 1-sigma error bars, the baseline mean
// as a solid line and the control limits as dashed lines; entries outside the limits are
// vermillion diamonds, the others blue circles, culled entries hollow. Several charts are
// stacked on one page over one shared date axis. The look is that of every other picture
// (PlotStyle).
//
// DrawControlCharts throws PlotError when PLplot fails (no file is left behind) and
// std::invalid_argument for a time that is not ISO 8601.
#ifndef XRAY_CLI_CONTROLCHART_H
#define XRAY_CLI_CONTROLCHART_H

#include <string>
#include <vector>

#include "cli/PlotSession.h"
#include "cli/QcPictureData.h"

namespace xrayutils {

// Days since 1970-01-01T00:00:00 of "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or
// "YYYY-MM-DDThh:mm:ss" (a space may stand for the T; fractions of a second and a trailing
// zone are ignored). Throws std::invalid_argument naming the text otherwise.
double DaysSinceEpoch(const std::string& iso);

// A labelled tick of the date axis, at a whole hour, day, week (Mondays), month or year.
struct DateTick {
    double day = 0.0;  // days since the epoch
    std::string label;
};

// The ticks within [firstDay, lastDay] at the finest whole step that gives at most
// `maxTicks` of them. REQUIRES: firstDay < lastDay, maxTicks >= 2.
std::vector<DateTick> DateTicks(double firstDay, double lastDay, int maxTicks);

// The size of a page of `count` stacked charts.
PictureSize ControlChartSize(size_t count);

// Draws `charts` stacked under `title`, a plain text (made fit for PLplot here).
// REQUIRES: at least one chart.
void DrawControlCharts(const std::vector<ControlSeries>& charts, const std::string& title,
                       const std::string& path, PictureFormat format, PictureSize size);

}  // namespace xrayutils

#endif  // XRAY_CLI_CONTROLCHART_H
