#include "cli/ControlChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include <plplot.h>

#include "cli/PlotStyle.h"
#include "niox/ReportFormat.h"

namespace xrayutils {

namespace {

// Page layout in pixels, turned into fractions of the page by the size.
constexpr double kHeaderPx = 104, kFooterPx = 64, kGapPx = 44, kChartPx = 300, kLeftPx = 95,
                 kRightPx = 30;
constexpr double kMarkerMm = 2.2;

struct CivilDate {
    int year, month, day;  // month 1 to 12
};

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return CivilDate{static_cast<int>(yearOfEra + era * 400 + (month <= 2)), month, day};
}

std::string DateText(const CivilDate& d, bool withDay) {
    char text[16];
    if (withDay)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    else
        std::snprintf(text, sizeof text, "%04d-%02d", d.year, d.month);
    return text;
}

int Digits(const std::string& text, size_t at, size_t count) {
    if (at + count > text.size())
        throw std::invalid_argument("");
    int value = 0;
    for (size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9')
            throw std::invalid_argument("");
        value = value * 10 + (text[k] - '0');
    }
    return value;
}

std::vector<DateTick> DayTicks(double first, double last, double step) {
    // Weeks start on Mondays; 1970-01-05 was one.
    const double origin = step == 7 || step == 14 ? 4.0 : 0.0;
    std::vector<DateTick> ticks;
    for (double t = origin + std::ceil((first - origin) / step - 1e-9) * step; t <= last + 1e-9;
         t += step) {
        const double whole = std::floor(t + 1e-9);
        const CivilDate date = CivilFromDays(static_cast<long>(whole));
        std::string label = DateText(date, true);
        if (step < 1) {
            char time[16];
            const int minutes = static_cast<int>(std::lround((t - whole) * 1440));
            std::snprintf(time, sizeof time, "%02d:%02d", minutes / 60, minutes % 60);
            label = label.substr(5) + " " + time;
        }
        ticks.push_back(DateTick{t, label});
    }
    return ticks;
}

std::vector<DateTick> MonthTicks(double first, double last, int months) {
    std::vector<DateTick> ticks;
    const CivilDate start = CivilFromDays(static_cast<long>(std::floor(first)));
    int index = start.year * 12 + (start.month - 1);
    index = (index + months - 1) / months * months;
    for (;; index += months) {
        const CivilDate date{index / 12, index % 12 + 1, 1};
        const double day = static_cast<double>(DaysFromCivil(date.year, date.month, 1));
        if (day > last + 1e-9)
            break;
        if (day >= first - 1e-9)
            ticks.push_back(DateTick{
                day, months % 12 == 0 ? std::to_string(date.year) : DateText(date, false)});
    }
    return ticks;
}

struct Range {
    double low, high;
};

Range ValueRange(const ControlSeries& series) {
    double low = INFINITY, high = -INFINITY;
    for (const ChartPoint& p : series.points) {
        low = std::min(low, p.value - std::abs(p.error));
        high = std::max(high, p.value + std::abs(p.error));
    }
    if (series.limits) {
        low = std::min(low, series.limits->low);
        high = std::max(high, series.limits->high);
    }
    if (!std::isfinite(low) || !std::isfinite(high))
        return Range{0, 1};
    if (high - low <= 1e-12 * std::max(1.0, std::abs(high))) {
        const double pad = std::max(std::abs(high) * 0.05, 1e-6);
        return Range{low - pad, high + pad};
    }
    const double pad = 0.1 * (high - low);
    return Range{low - pad, high + pad};
}

Range DayRange(const std::vector<ControlSeries>& charts) {
    double first = INFINITY, last = -INFINITY;
    for (const ControlSeries& series : charts)
        for (const ChartPoint& p : series.points) {
            const double day = DaysSinceEpoch(p.acquired);
            first = std::min(first, day);
            last = std::max(last, day);
        }
    if (!std::isfinite(first))
        return Range{0, 1};
    const double pad = std::max(0.04 * (last - first), 1.0);
    return Range{first - pad, last + pad};
}

std::string AxisTitle(const QuantityDescription& d) {
    return d.unit.empty() ? d.label : d.label + " (" + d.unit + ")";
}

// The legend's entries share the width of the chart in proportion to their texts, so that
// the row fits whichever renderer measures the letters (PLplot's cairo, or a browser showing
// the SVG).
void DrawLegend(const PlotSession& session, double y) {
    SetPanel(session, PlotArea{0, 1, 0, 1}, 0, 1, 0, 1);
    const double mm = WorldPerMmX(session);
    const double left = kLeftPx / session.Size().width;
    const double right = 1 - kRightPx / session.Size().width;
    const char* const texts[] = {"within limits", "outside limits", "culled (left out)",
                                 "baseline mean", "control limits"};
    double letters = 0;
    for (const char* text : texts)
        letters += std::string(text).size() + 8;  // the symbol and the gap count as letters
    const double perLetter = (right - left) / letters;
    double x = left + 4 * mm;
    PLFLT defaultHeight = 0, height = 0;
    plgchr(&defaultHeight, &height);  // mm
    const double textDrop = 0.4 * 0.8 * height / session.PageHeightMm();
    for (int k = 0; k < 5; ++k) {
        switch (k) {
            case 0:
                DrawMarker(session, x, y, MarkerShape::kCircle, true, kDataColour, kMarkerMm);
                break;
            case 1:
                DrawMarker(session, x, y, MarkerShape::kDiamond, true, kAlarmColour, kMarkerMm);
                break;
            case 2:
                DrawMarker(session, x, y, MarkerShape::kCircle, false, kMutedColour, kMarkerMm);
                break;
            case 3:
                DrawLine(session, {x - 4 * mm, x + 4 * mm}, {y, y}, kMeanColour, LineStyle::kSolid,
                         1.2);
                break;
            default:
                DrawLine(session, {x - 4 * mm, x + 4 * mm}, {y, y}, kAlarmColour,
                         LineStyle::kDashed, 1.2);
        }
        DrawText(session, x + 5.5 * mm, y - textDrop, 0.0, texts[k], kInkColour, 0.8);
        x += perLetter * (std::string(texts[k]).size() + 8);
    }
}

// The line across the chart with its label just above it at the right. PLplot puts a text's
// reference point half a capital's height above its baseline, so the label is raised by that,
// the depth of its descenders (about 0.4 of a capital) and a gap.
void DrawLimitLine(const PlotSession& session, const Range& days, double level, PlotColour colour,
                   LineStyle style, const std::string& label) {
    constexpr double kLabelScale = 0.7;
    DrawLine(session, {days.low, days.high}, {level, level}, colour, style, 1.2);
    PLFLT defaultHeight = 0, height = 0;
    plgchr(&defaultHeight, &height);  // mm, a capital's height
    const double raiseMm = 0.9 * kLabelScale * height + 0.5;
    DrawText(session, days.high - 1.0 * WorldPerMmX(session),
             level + raiseMm * WorldPerMmY(session), 1.0, label, colour, kLabelScale);
}

void DrawChart(const PlotSession& session, const ControlSeries& series, const PlotArea& area,
               const Range& days, const std::vector<DateTick>& ticks) {
    const QuantityDescription d = DescribeQuantity(series.quantity);
    const Range values = ValueRange(series);
    SetPanel(session, area, days.low, days.high, values.low, values.high);
    for (const DateTick& tick : ticks)
        DrawLine(session, {tick.day, tick.day}, {values.low, values.high}, kGridColour,
                 LineStyle::kSolid, 0.6);
    DrawAxes(session, AxisOptions{"bc", "bcnstv", false, true});
    for (const DateTick& tick : ticks) {
        const double length = 1.2 * WorldPerMmY(session);
        DrawLine(session, {tick.day, tick.day}, {values.low, values.low + length}, kInkColour);
        DrawSideText(session, "b", 1.5, (tick.day - days.low) / (days.high - days.low), 0.5,
                     tick.label, kInkColour, 0.85);
    }
    DrawSideText(session, "t", 0.6, 0.0, 0.0, PlotText(AxisTitle(d)), kInkColour, 0.95);
    if (series.limits) {
        const QcLimit& l = *series.limits;
        DrawLimitLine(session, days, l.mean, kMeanColour, LineStyle::kSolid,
                      "mean " + xray::Fixed(l.mean, d.decimals + 1));
        DrawLimitLine(session, days, l.high, kAlarmColour, LineStyle::kDashed,
                      "upper limit " + xray::Fixed(l.high, d.decimals + 1));
        DrawLimitLine(session, days, l.low, kAlarmColour, LineStyle::kDashed,
                      "lower limit " + xray::Fixed(l.low, d.decimals + 1));
    } else {
        DrawSideText(session, "t", 0.6, 1.0, 1.0, "no control limits set", kMutedColour, 0.8);
    }
    for (const ChartPoint& p : series.points) {
        const bool outside = series.limits && !WithinLimit(p.value, *series.limits);
        const PlotColour colour = p.culled ? (outside ? kAlarmColour : kMutedColour)
                                           : (outside ? kAlarmColour : kDataColour);
        const double day = DaysSinceEpoch(p.acquired);
        if (p.error > 0)
            DrawErrorBars(session, {day}, {p.value - p.error}, {p.value + p.error}, colour);
    }
    for (const ChartPoint& p : series.points) {
        const bool outside = series.limits && !WithinLimit(p.value, *series.limits);
        const PlotColour colour = outside ? kAlarmColour : p.culled ? kMutedColour : kDataColour;
        DrawMarker(session, DaysSinceEpoch(p.acquired), p.value,
                   outside ? MarkerShape::kDiamond : MarkerShape::kCircle, !p.culled, colour,
                   kMarkerMm);
    }
}

}  // namespace

double DaysSinceEpoch(const std::string& iso) {
    try {
        const int year = Digits(iso, 0, 4), month = Digits(iso, 5, 2), day = Digits(iso, 8, 2);
        if (iso[4] != '-' || iso[7] != '-' || month < 1 || month > 12 || day < 1 || day > 31)
            throw std::invalid_argument("");
        double days = static_cast<double>(DaysFromCivil(year, month, day));
        if (iso.size() > 10 && (iso[10] == 'T' || iso[10] == ' ') && iso.size() >= 16) {
            const int hour = Digits(iso, 11, 2), minute = Digits(iso, 14, 2);
            const int second = iso.size() >= 19 && iso[16] == ':' ? Digits(iso, 17, 2) : 0;
            if (iso[13] != ':' || hour > 23 || minute > 59 || second > 60)
                throw std::invalid_argument("");
            days += (hour * 3600 + minute * 60 + second) / 86400.0;
        } else if (iso.size() > 10 && iso[10] != 'Z') {
            throw std::invalid_argument("");
        }
        return days;
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("not an ISO 8601 date and time: \"" + iso + "\"");
    }
}

std::vector<DateTick> DateTicks(double firstDay, double lastDay, int maxTicks) {
    const double daySteps[] = {1.0 / 24, 3.0 / 24, 6.0 / 24, 12.0 / 24, 1, 2, 7, 14};
    for (const double step : daySteps)
        if ((lastDay - firstDay) / step <= maxTicks - 1)
            return DayTicks(firstDay, lastDay, step);
    for (const int months : {1, 2, 3, 6, 12, 24, 60, 120}) {
        std::vector<DateTick> ticks = MonthTicks(firstDay, lastDay, months);
        if (static_cast<int>(ticks.size()) <= maxTicks)
            return ticks;
    }
    return MonthTicks(firstDay, lastDay, 1200);
}

PictureSize ControlChartSize(size_t count) {
    const double height = kHeaderPx + kFooterPx + count * kChartPx + (count - 1) * kGapPx;
    return PictureSize{1000, static_cast<int>(height)};
}

void DrawControlCharts(const std::vector<ControlSeries>& charts, const std::string& title,
                       const std::string& path, PictureFormat format, PictureSize size) {
    if (charts.empty())
        throw std::invalid_argument("no control chart to draw");
    const Range days = DayRange(charts);  // reads every time before a file is made
    PlotSession session(path, format, size);
    const double width = size.width, height = size.height;
    SetPanel(session, PlotArea{0, 1, 0, 1}, 0, 1, 0, 1);
    DrawText(session, kLeftPx / width, 1 - 30 / height, 0.0, PlotText(title), kInkColour, 1.2);
    DrawLegend(session, 1 - 60 / height);
    const double panel = (height - kHeaderPx - kFooterPx - (charts.size() - 1) * kGapPx) /
                         static_cast<double>(charts.size());
    const int maxTicks = std::max(2, static_cast<int>((width - kLeftPx - kRightPx) / 90));
    const std::vector<DateTick> ticks = DateTicks(days.low, days.high, maxTicks);
    for (size_t k = 0; k < charts.size(); ++k) {
        const double top = height - kHeaderPx - k * (panel + kGapPx);
        const PlotArea area{kLeftPx / width, 1 - kRightPx / width, (top - panel) / height,
                            top / height};
        DrawChart(session, charts[k], area, days, ticks);
    }
    DrawSideText(session, "b", 3.2, 0.5, 0.5, "Acquired");
    session.Finish();
}

}  // namespace xrayutils
