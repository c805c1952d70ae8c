// Control charts: dates read and ticked, and the SVG holding every entry as the marker of its
// kind (within, outside, culled) where its time and value put it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/ControlChart.h"
#include "cli/PlotStyle.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/pictures/SimulatedQcHistory.h"

namespace xrayutils {
namespace {

using ::testing::HasSubstr;

std::string PathFor(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

TEST(DateAxisTest, DaysSinceEpochReadsIsoTimes) {
    EXPECT_EQ(DaysSinceEpoch("1970-01-01"), 0.0);
    EXPECT_EQ(DaysSinceEpoch("2000-03-01T00:00:00"), 11017.0);
    EXPECT_EQ(DaysSinceEpoch("1969-12-31"), -1.0);
    EXPECT_DOUBLE_EQ(DaysSinceEpoch("2026-01-05T12:00:00"), 20458.5);
    EXPECT_DOUBLE_EQ(DaysSinceEpoch("2026-01-05 06:00"), 20458.25);
    EXPECT_DOUBLE_EQ(DaysSinceEpoch("2026-01-05T06:00:00Z"), 20458.25);
    for (const char* bad : {"", "2026", "2026-1-5", "2026-13-01", "2026-01-05T25:00", "05.01.2026",
                            "2026-01-05X", "2026-01-05T06"})
        EXPECT_THROW(DaysSinceEpoch(bad), std::invalid_argument) << bad;
}

TEST(DateAxisTest, TicksFallOnWholeDatesAtAFittingStep) {
    // Fourteen weeks: weekly ticks are too many for 8, fortnightly ones on Mondays are not.
    const double first = DaysSinceEpoch("2026-01-05"), last = DaysSinceEpoch("2026-04-13");
    const std::vector<DateTick> weeks = DateTicks(first, last, 8);
    ASSERT_GE(weeks.size(), 2u);
    EXPECT_LE(weeks.size(), 8u);
    EXPECT_EQ(weeks[0].label, "2026-01-05");
    EXPECT_EQ(weeks[1].day - weeks[0].day, 14.0);
    // Two years: month ticks on the first of the month.
    const std::vector<DateTick> months =
        DateTicks(DaysSinceEpoch("2024-01-10"), DaysSinceEpoch("2026-01-10"), 10);
    ASSERT_GE(months.size(), 2u);
    EXPECT_LE(months.size(), 10u);
    EXPECT_EQ(months[0].label, "2024-04");
    EXPECT_EQ(months[0].day, DaysSinceEpoch("2024-04-01"));
    // Half a day: hours.
    const std::vector<DateTick> hours =
        DateTicks(DaysSinceEpoch("2026-01-05T08:10"), DaysSinceEpoch("2026-01-05T20:00"), 6);
    ASSERT_FALSE(hours.empty());
    EXPECT_EQ(hours[0].label, "01-05 09:00");
}

// Entries at known times and values, each kind of marker at least once.
ControlSeries KnownSeries() {
    ControlSeries s;
    s.quantity = "energy_resolution.fwhm_mn_ka_ev";
    s.limits = SetLimit(s.quantity, 128.0, 134.0);
    s.points = {
        {1, "2026-01-05T09:00:00", 130.0, 0.5, false},
        {2, "2026-01-12T09:00:00", 131.5, 0.5, false},
        {3, "2026-01-19T09:00:00", 136.0, 0.5, true},   // culled, outside
        {4, "2026-01-26T09:00:00", 129.0, 0.0, true},   // culled, within
        {5, "2026-02-09T09:00:00", 135.5, 0.8, false},  // outside
        {6, "2026-02-16T09:00:00", 132.0, 0.5, false},
    };
    return s;
}

TEST(ControlChartTest, SvgHoldsEveryEntryAsTheMarkerOfItsKind) {
    const ControlSeries series = KnownSeries();
    const std::string path = PathFor("known-chart.svg");
    DrawControlCharts({series}, "EDS-1", path, PictureFormat::kSvg, ControlChartSize(1));
    const testsupport::SvgContent svg = testsupport::ReadSvg(testsupport::ReadBinaryFile(path));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    // Markers, in drawing order: the legend's three, then the six entries.
    std::vector<testsupport::SvgPolygon> markers;
    for (const auto& polygon : svg.polygons)
        if (polygon.vertices == 21 || polygon.vertices == 5)
            markers.push_back(polygon);
    ASSERT_EQ(markers.size(), 3 + series.points.size());
    const std::string within = HexColour(kDataColour), alarm = HexColour(kAlarmColour),
                      paper = HexColour(kPaperColour);
    const char* const expected[] = {"within", "within", "hollow", "hollow", "outside", "within"};
    for (size_t k = 0; k < series.points.size(); ++k) {
        const testsupport::SvgPolygon& m = markers[3 + k];
        const std::string kind = m.fill == paper    ? "hollow"
                                 : m.fill == within ? "within"
                                 : m.fill == alarm  ? "outside"
                                                    : m.fill;
        EXPECT_EQ(kind, expected[k]) << "entry " << series.points[k].entryId;
        EXPECT_EQ(m.vertices, series.points[k].value > 134.0 ? 5u : 21u)
            << "outside limits is a diamond, within a circle";
    }
    // Places: an affine image of (day, value).
    const auto& p = series.points;
    const double d0 = DaysSinceEpoch(p[0].acquired), d5 = DaysSinceEpoch(p[5].acquired);
    const double sx = (markers[8].x - markers[3].x) / (d5 - d0);
    const double sy = (markers[8].y - markers[3].y) / (p[5].value - p[0].value);
    EXPECT_GT(sx, 0);
    EXPECT_GT(sy, 0);
    for (size_t k = 0; k < p.size(); ++k) {
        EXPECT_NEAR(markers[3 + k].x, markers[3].x + sx * (DaysSinceEpoch(p[k].acquired) - d0),
                    0.05)
            << k;
        EXPECT_NEAR(markers[3 + k].y, markers[3].y + sy * (p[k].value - p[0].value), 0.05) << k;
    }
    // Each line's label sits just above it, its descenders clear of the line's stroke.
    const std::pair<const char*, double> lines[] = {
        {"upper limit 134.00", 134.0}, {"mean 131.00", 131.0}, {"lower limit 128.00", 128.0}};
    for (const auto& [label, level] : lines) {
        const auto text = std::find_if(svg.texts.begin(), svg.texts.end(),
                                       [&](const auto& t) { return t.characters == label; });
        ASSERT_NE(text, svg.texts.end()) << label;
        const double lineY = markers[3].y + sy * (level - p[0].value);
        EXPECT_GT(text->baseline, lineY + 0.6 + 0.24 * text->fontSize)
            << label << ": struck through";
        EXPECT_LT(text->baseline, lineY + text->fontSize) << label << ": far from its line";
    }
    EXPECT_THAT(svg.text, HasSubstr("FWHM at Mn K\xCE\xB1 (eV)"));
    EXPECT_THAT(svg.text, HasSubstr("2026-01-05"));
}

// One entry, equal values, no limits: ranges that would be empty are widened, not refused.
TEST(ControlChartTest, DegenerateSeriesAreDrawn) {
    ControlSeries single;
    single.quantity = "fiori_pb.value";
    single.points = {{1, "2026-03-01T10:00:00", 100.0, 0.0, false}};
    ControlSeries flat;
    flat.quantity = "mo_kl_ratio.value";
    flat.points = {{1, "2026-03-01T10:00:00", 0.0, 0.0, false},
                   {2, "2026-03-01T10:00:00", 0.0, 0.0, false}};
    flat.limits = QcLimit();  // low, high and mean all 0
    flat.limits->quantity = flat.quantity;
    const std::string path = PathFor("degenerate.svg");
    DrawControlCharts({single, flat}, "EDS-1", path, PictureFormat::kSvg, ControlChartSize(2));
    const testsupport::SvgContent svg = testsupport::ReadSvg(testsupport::ReadBinaryFile(path));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_THAT(svg.text, HasSubstr("no control limits set"));
    EXPECT_THAT(svg.text, HasSubstr("Mo K/L ratio"));
}

TEST(ControlChartTest, UnreadableTimeIsRefusedBeforeAnyFile) {
    ControlSeries s = KnownSeries();
    s.points[2].acquired = "19 Jan 2026";
    const std::string path = PathFor("bad-time.svg");
    std::filesystem::remove(path);
    try {
        DrawControlCharts({s}, "EDS-1", path, PictureFormat::kSvg, ControlChartSize(1));
        FAIL() << "drawn";
    } catch (const std::invalid_argument& e) {
        EXPECT_THAT(e.what(), HasSubstr("19 Jan 2026"));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(DrawControlCharts({}, "EDS-1", path, PictureFormat::kSvg, ControlChartSize(1)),
                 std::invalid_argument);
}

// Every tracked quantity of a simulated history, stacked: one page, each chart titled.
TEST(ControlChartTest, StackedChartsOfASimulatedHistory) {
    const QcReport report = testsupport::SimulatedQcReport("EDS-1");
    ASSERT_EQ(report.charts.size(), 11u);
    const std::string path = PathFor("stacked.png");
    DrawControlCharts(report.charts, "EDS-1", path, PictureFormat::kPng,
                      ControlChartSize(report.charts.size()));
    const auto png = testsupport::PngDimensions(testsupport::ReadBinaryFile(path));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->height, ControlChartSize(11).height);
    EXPECT_GT(ControlChartSize(11).height, 11 * 200);
}

}  // namespace
}  // namespace xrayutils
