#include "cli/QcReportPage.h"

#include <cmath>

#include "cli/ControlChart.h"
#include "cli/HtmlPage.h"
#include "niox/ReportFormat.h"

namespace xrayutils {

namespace {

std::string WithUnit(const std::string& number, const QuantityDescription& d) {
    return d.unit.empty() ? number : number + " " + d.unit;
}

std::string DateOf(const std::string& iso) {
    std::string text = iso;
    if (text.size() > 10 && text[10] == 'T')
        text[10] = ' ';
    return text;
}

// "4.3 s above the mean"
std::string DistanceText(double sigmas) {
    return xray::Fixed(std::abs(sigmas), 1) + " s " + (sigmas >= 0 ? "above" : "below") +
           " the mean";
}

std::string RangeText(const QcLimit& limit, const QuantityDescription& d) {
    return WithUnit(
        xray::Fixed(limit.low, d.decimals) + " to " + xray::Fixed(limit.high, d.decimals), d);
}

// "FWHM at Mn Ka: 139.3 eV, outside 128.1 to 131.9 eV, 4.3 s above the mean", or the reason
// a value that should be there is not.
std::string OutsideText(const QcQuantityCheck& q) {
    const QuantityDescription d = DescribeQuantity(q.quantity);
    if (!q.value)
        return d.label + ": " + q.reason;
    std::string line = d.label + ": " + WithUnit(xray::Fixed(*q.value, d.decimals), d) +
                       ", outside " + RangeText(*q.limit, d);
    if (q.sigmasFromMean)
        line += ", " + DistanceText(*q.sigmasFromMean);
    return line;
}

std::string CheckBox(const QcReport& report) {
    if (!report.check)
        return "<div class=\"status unchecked\"><p><strong>No check yet.</strong> Set control "
               "limits for this detector to check its entries.</p></div>\n";
    const QcEntryCheck& c = *report.check;
    const std::string entry =
        "Latest check: entry " + std::to_string(c.entry) + ", acquired " + DateOf(c.acquired);
    int checked = 0;
    std::string outside;
    for (const QcQuantityCheck& q : c.quantities) {
        if (q.status == QcStatus::kUnchecked)
            continue;
        ++checked;
        if (q.status == QcStatus::kOutside)
            outside += "<li>" + EscapeHtml(OutsideText(q)) + "</li>\n";
    }
    if (checked == 0)
        return "<div class=\"status unchecked\"><p><strong>" + EscapeHtml(entry) +
               "</strong></p><p>No quantity has control limits.</p></div>\n";
    if (outside.empty())
        return "<div class=\"status within\"><p><strong>" + EscapeHtml(entry) +
               "</strong></p><p>Within control limits: all " + std::to_string(checked) +
               " checked quantities.</p></div>\n";
    return "<div class=\"status outside\"><p><strong>" + EscapeHtml(entry) +
           "</strong></p><p><span class=\"outside\">Outside control limits:</span></p>\n<ul>\n" +
           outside + "</ul></div>\n";
}

std::string StatusText(const QcQuantityCheck& q) {
    switch (q.status) {
        case QcStatus::kWithin:
            return "within";
        case QcStatus::kOutside:
            return q.value ? "outside" : "outside: " + q.reason;
        case QcStatus::kUnchecked:
            break;
    }
    return "unchecked: " + q.reason;
}

std::string CheckTable(const QcEntryCheck& c) {
    std::string table =
        "<table>\n<thead><tr><th>Quantity</th><th class=\"number\">Value</th>"
        "<th class=\"number\">Lower limit</th><th class=\"number\">Upper limit</th>"
        "<th class=\"number\">From the mean</th><th>Status</th></tr></thead>\n<tbody>\n";
    for (const QcQuantityCheck& q : c.quantities) {
        const QuantityDescription d = DescribeQuantity(q.quantity);
        const auto number = [&](std::optional<double> value, int decimals) {
            return value ? EscapeHtml(xray::Fixed(*value, decimals)) : std::string();
        };
        table += "<tr><td>" + EscapeHtml(d.unit.empty() ? d.label : d.label + " (" + d.unit + ")") +
                 "</td><td class=\"number\">" + number(q.value, d.decimals) +
                 "</td><td class=\"number\">" +
                 number(q.limit ? std::optional<double>(q.limit->low) : std::nullopt, d.decimals) +
                 "</td><td class=\"number\">" +
                 number(q.limit ? std::optional<double>(q.limit->high) : std::nullopt, d.decimals) +
                 "</td><td class=\"number\">" +
                 (q.sigmasFromMean ? EscapeHtml(xray::Fixed(*q.sigmasFromMean, 1) + " s") : "") +
                 "</td><td" + (q.status == QcStatus::kOutside ? " class=\"outside\"" : "") + ">" +
                 EscapeHtml(StatusText(q)) + "</td></tr>\n";
    }
    return table + "</tbody>\n</table>\n";
}

std::string Charts(const QcReport& report) {
    std::string html;
    for (const ControlSeries& series : report.charts) {
        const QuantityDescription d = DescribeQuantity(series.quantity);
        html += "<figure>";
        try {
            html += DrawInlineSvg(
                [&](const std::string& path, PictureFormat format, PictureSize size) {
                    DrawControlCharts({series}, report.detector + ": " + d.label, path, format,
                                      size);
                },
                ControlChartSize(1), "Control chart of " + d.label + " for " + report.detector);
        } catch (const PlotError& error) {
            html += ErrorParagraph("No chart of " + d.label + ": " + error.what());
        }
        html += "</figure>\n";
    }
    return html;
}

const ChartPoint* PointOf(const ControlSeries& series, std::int64_t entryId) {
    for (const ChartPoint& p : series.points)
        if (p.entryId == entryId)
            return &p;
    return nullptr;
}

std::string EntryCell(const QcEntry& e) {
    return "<td>" + EscapeHtml(std::to_string(e.id)) + (e.culled ? " (culled)" : "") + "</td>";
}

std::string RowStart(const QcEntry& e) {
    return e.culled ? "<tr class=\"culled\">" : "<tr>";
}

// The entries as they were recorded: when, from which file, with which note.
std::string EntryTable(const QcReport& report) {
    std::string table =
        "<table class=\"compact\">\n<thead><tr><th>Entry</th><th>Acquired</th>"
        "<th>File</th><th>Note</th></tr></thead>\n<tbody>\n";
    for (const QcEntry& e : report.entries)
        table += RowStart(e) + EntryCell(e) + "<td>" + EscapeHtml(DateOf(e.acquired)) +
                 "</td><td class=\"path\">" + EscapeHtml(e.file) + "</td><td>" +
                 EscapeHtml(e.note) + "</td></tr>\n";
    return table + "</tbody>\n</table>\n";
}

// The tracked values of every entry, a column per charted quantity; a table of its own so that
// it fits the width of a printed page.
std::string ValueTable(const QcReport& report) {
    std::string table = "<table class=\"compact values\">\n<thead><tr><th>Entry</th>";
    for (const ControlSeries& series : report.charts) {
        const QuantityDescription d = DescribeQuantity(series.quantity);
        table += "<th class=\"number\">" +
                 EscapeHtml(d.unit.empty() ? d.label : d.label + " (" + d.unit + ")") + "</th>";
    }
    table += "</tr></thead>\n<tbody>\n";
    for (const QcEntry& e : report.entries) {
        table += RowStart(e) + EntryCell(e);
        for (const ControlSeries& series : report.charts) {
            const ChartPoint* p = PointOf(series, e.id);
            const bool outside = p != nullptr && series.limits && !e.culled &&
                                 !WithinLimit(p->value, *series.limits);
            table +=
                std::string("<td class=\"number") + (outside ? " outside" : "") + "\">" +
                (p != nullptr
                     ? EscapeHtml(xray::Fixed(p->value, DescribeQuantity(series.quantity).decimals))
                     : "") +
                "</td>";
        }
        table += "</tr>\n";
    }
    return table + "</tbody>\n</table>\n";
}

std::string Summary(const QcReport& report) {
    int culled = 0;
    for (const QcEntry& e : report.entries)
        culled += e.culled ? 1 : 0;
    std::string text = std::to_string(report.entries.size()) +
                       (report.entries.size() == 1 ? " entry" : " entries");
    if (culled > 0)
        text += " (" + std::to_string(culled) + " culled)";
    if (!report.entries.empty())
        text += ", acquired " + DateOf(report.entries.front().acquired) + " to " +
                DateOf(report.entries.back().acquired);
    return text;
}

}  // namespace

std::string WriteQcReportPage(const QcReport& report) {
    std::string html = PageStart("Detector QC report: " + report.detector);
    html += "<h1>Detector QC report: " + EscapeHtml(report.detector) + "</h1>\n";
    html += "<p class=\"subtitle\">" + EscapeHtml(Summary(report)) + "</p>\n";
    html += CheckBox(report);
    if (report.check)
        html += "<h2>Latest check</h2>\n" + CheckTable(*report.check);
    html += "<h2>Control charts</h2>\n";
    html += report.charts.empty() ? "<p>No tracked quantity has values yet.</p>\n" : Charts(report);
    html += "<h2>Entries</h2>\n" + EntryTable(report);
    if (!report.charts.empty())
        html += "<h3>Tracked values</h3>\n" + ValueTable(report);
    return html + PageEnd();
}

}  // namespace xrayutils
