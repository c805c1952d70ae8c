#include "cli/SpectrumReport.h"

#include <cstdio>

#include "cli/HtmlPage.h"
#include "cli/NiOxRecord.h"
#include "cli/SpectrumPlot.h"
#include "niox/ReportFormat.h"

namespace xrayutils {

using namespace xray;

namespace {

const char* const kAlpha = "\xCE\xB1";
const char* const kNotGiven = "<span class=\"error\">not in the file</span>";

std::string Number(double value, int decimals) {
    return EscapeHtml(Fixed(value, decimals));
}

std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string FactRow(const std::string& label, const std::string& valueHtml) {
    return "<tr><th>" + EscapeHtml(label) + "</th><td>" + valueHtml + "</td></tr>\n";
}

// A header value the file carries, with its unit, or a note that it does not.
std::string HeaderFact(const EMSASpectrum& r, const char* keyword, double value,
                       const std::string& unit) {
    if (r.keywordsRead.count(keyword) == 0)
        return kNotGiven;
    return EscapeHtml(ShortNumber(value) + (unit.empty() ? "" : " " + unit));
}

std::string AcquisitionTable(const ReadSpectrum& s) {
    const EMSASpectrum& r = s.record;
    const Json acquired = AcquiredOf(r);
    std::string acquiredText = kNotGiven;
    if (acquired.is_string()) {
        std::string text = acquired.get<std::string>();
        text[10] = ' ';
        acquiredText = EscapeHtml(text);
    }
    std::string rows;
    rows += FactRow("File", EscapeHtml(s.file));
    rows += FactRow("Title", r.title.empty() ? kNotGiven : EscapeHtml(r.title));
    rows += FactRow("Acquired", acquiredText);
    rows += FactRow("Beam voltage", HeaderFact(r, "BEAMKV", r.beamkv, "kV"));
    rows += FactRow("Probe current", HeaderFact(r, "PROBECUR", r.probecur, "nA"));
    rows += FactRow("Live time", HeaderFact(r, "LIVETIME", r.livetime, "s"));
    rows += FactRow("Real time", HeaderFact(r, "REALTIME", r.realtime, "s"));
    rows += FactRow("Stage tilt x", HeaderFact(r, "XTILTSTGE", r.xtiltstge, "deg"));
    rows += FactRow("Stage tilt y", HeaderFact(r, "YTILTSTGE", r.ytiltstge, "deg"));
    rows += FactRow("Channels", EscapeHtml(std::to_string(s.counts.size())));
    rows += FactRow("Energy calibration",
                    EscapeHtml(ShortNumber(s.offset) + " keV at channel 0, " +
                               ShortNumber(1000.0 * double(s.step)) + " eV per channel"));
    return "<table class=\"facts\">\n" + rows + "</table>\n";
}

struct ResultRow {
    std::string label;
    std::string unit;
    int decimals = 2;
    bool selected = false;
    std::string error;  // the evaluation's message when it failed
    double value = 0.0;
    const SigmaErrors* errors = nullptr;  // none for the fitted widths
};

std::string ResultLine(const ResultRow& row) {
    std::string line = "<tr><td>" + EscapeHtml(row.label) + "</td>";
    if (!row.selected)
        return line +
               "<td colspan=\"3\" class=\"error\">not evaluated: needs --thickness</td></tr>\n";
    if (!row.error.empty())
        return line + "<td colspan=\"3\" class=\"error\">failed: " + EscapeHtml(row.error) +
               "</td></tr>\n";
    line += "<td class=\"number\">" + Number(row.value, row.decimals) + "</td>";
    line +=
        "<td class=\"number\">" +
        (row.errors != nullptr ? Number((*row.errors)[0], row.decimals) : std::string("&mdash;")) +
        "</td>";
    return line + "<td>" + EscapeHtml(row.unit) + "</td></tr>\n";
}

template <typename Result, typename Fill>
ResultRow RowOf(const std::string& label, const std::string& unit, int decimals,
                const Evaluation<Result>& evaluation, bool selected, Fill fill) {
    ResultRow row{label, unit, decimals, selected, evaluation.error};
    if (evaluation.result)
        fill(*evaluation.result, row);
    return row;
}

std::string ResultsTable(const SpectrumEvaluation& e) {
    const NiOxResults& r = e.results;
    const NiOxSelection& s = e.selection;
    std::vector<ResultRow> rows;
    rows.push_back(
        RowOf(std::string("Energy resolution, FWHM at Mn K") + kAlpha, "eV", 1, r.energyResolution,
              s.energyResolution,
              [](const EnergyResolution& x, ResultRow& row) { row.value = x.fwhmMnKa; }));
    rows.push_back(
        RowOf(std::string("Energy resolution, FWHM at Ni K") + kAlpha, "eV", 1, r.energyResolution,
              s.energyResolution,
              [](const EnergyResolution& x, ResultRow& row) { row.value = x.fwhmNiKa; }));
    rows.push_back(RowOf("Inverse hole count", "", 2, r.inverseHoleCount, s.inverseHoleCount,
                         [](const InverseHoleCount& x, ResultRow& row) {
                             row.value = x.ratio;
                             row.errors = &x.errors;
                         }));
    rows.push_back(RowOf("Fiori peak-to-background", "", 2, r.fioriPB, s.fioriPB,
                         [](const PeakToBackground& x, ResultRow& row) {
                             row.value = x.fiori;
                             row.errors = &x.fioriErrors;
                         }));
    rows.push_back(RowOf("Total peak-to-background", "", 2, r.totalPB, s.totalPB,
                         [](const PeakToBackground& x, ResultRow& row) {
                             row.value = x.total;
                             row.errors = &x.totalErrors;
                         }));
    rows.push_back(
        RowOf("Mo K/L ratio", "", 2, r.moKL, s.moKL, [](const MoKLRatio& x, ResultRow& row) {
            row.value = x.ratio;
            row.errors = &x.errors;
        }));
    rows.push_back(RowOf("Collection solid angle", "sr", 4, r.solidAngle, s.solidAngle,
                         [](const SolidAngle& x, ResultRow& row) {
                             row.value = x.solidAngle;
                             row.errors = &x.solidAngleErrors;
                         }));
    rows.push_back(RowOf("Detector efficiency", "cps/nA/sr", 4, r.detectorEfficiency,
                         s.detectorEfficiency, [](const SolidAngle& x, ResultRow& row) {
                             row.value = x.efficiency;
                             row.errors = &x.efficiencyErrors;
                         }));
    rows.push_back(RowOf("Normalized detector efficiency", "cps/nA/sr", 4, r.detectorEfficiency,
                         s.detectorEfficiency, [](const SolidAngle& x, ResultRow& row) {
                             row.value = x.normalisedEfficiency;
                             row.errors = &x.normalisedEfficiencyErrors;
                         }));
    std::string table =
        "<table>\n<thead><tr><th>Quantity</th><th class=\"number\">Value</th>"
        "<th class=\"number\">Error 1&sigma; (68%)</th><th>Unit</th></tr></thead>\n<tbody>\n";
    for (const ResultRow& row : rows)
        table += ResultLine(row);
    table += "</tbody>\n</table>\n";
    if (s.energyResolution && r.energyResolution.result)
        table +=
            "<p class=\"subtitle\">The widths come from the Gaussian fit of Ni K&alpha;, "
            "which has no counting error of its own.</p>\n";
    return table;
}

std::string StatusOf(const ReportedSpectrum& s) {
    if (!s.evaluation.spectrum.readError.empty())
        return "<span class=\"outside\">not read</span>";
    if (s.evaluation.results.AnyFailed())
        return "<span class=\"outside\">an evaluation failed</span>";
    return "evaluated";
}

std::string OverviewTable(const std::vector<ReportedSpectrum>& spectra) {
    std::string table =
        "<table>\n<thead><tr><th>Spectrum</th><th>Acquired</th>"
        "<th class=\"number\">FWHM at Mn K&alpha; (eV)</th><th>Status</th></tr></thead>\n"
        "<tbody>\n";
    for (const ReportedSpectrum& s : spectra) {
        const SpectrumEvaluation& e = s.evaluation;
        std::string acquired, fwhm;
        if (e.spectrum.readError.empty()) {
            const Json a = AcquiredOf(e.spectrum.record);
            acquired = a.is_string() ? a.get<std::string>().replace(10, 1, " ") : "";
            if (e.results.energyResolution.result)
                fwhm = Fixed(e.results.energyResolution.result->fwhmMnKa, 1);
        }
        table += "<tr><td>" + EscapeHtml(e.spectrum.name) + "</td><td>" + EscapeHtml(acquired) +
                 "</td><td class=\"number\">" + EscapeHtml(fwhm) + "</td><td>" + StatusOf(s) +
                 "</td></tr>\n";
    }
    return table + "</tbody>\n</table>\n";
}

std::string SpectrumSection(const ReportedSpectrum& s) {
    const SpectrumEvaluation& e = s.evaluation;
    std::string html =
        "<section class=\"spectrum\">\n<h2>" + EscapeHtml(e.spectrum.name) + "</h2>\n";
    if (!e.spectrum.readError.empty())
        return html + ErrorParagraph(e.spectrum.readError) + "</section>\n";
    html += "<h3>Acquisition</h3>\n" + AcquisitionTable(e.spectrum);
    html += "<h3>Results</h3>\n" + ResultsTable(e);
    html += "<h3>Spectrum and Ni K&alpha; fit</h3>\n";
    if (!s.picture.empty())
        html += "<figure>" + s.picture + "</figure>\n";
    else
        html += ErrorParagraph("No picture: " + s.pictureError);
    return html + "</section>\n";
}

}  // namespace

void DrawReportPictures(std::vector<ReportedSpectrum>& spectra) {
    for (ReportedSpectrum& s : spectra) {
        if (!s.evaluation.spectrum.readError.empty())
            continue;
        const SpectrumPicture picture = MakeSpectrumPicture(s.evaluation);
        try {
            s.picture = DrawInlineSvg(
                [&picture](const std::string& path, PictureFormat format, PictureSize size) {
                    DrawSpectrumPicture(picture, path, format, size);
                },
                kSpectrumPictureSize,
                "The spectrum of " + picture.name + " and its Ni K" + kAlpha + " fit");
        } catch (const PlotError& error) {
            s.pictureError = error.what();
        }
    }
}

std::string WriteSpectrumReportPage(const std::vector<ReportedSpectrum>& spectra) {
    std::string html = PageStart("NiOx detector test report");
    html += "<h1>NiOx detector test report</h1>\n<p class=\"subtitle\">" +
            EscapeHtml(std::to_string(spectra.size()) +
                       (spectra.size() == 1 ? " spectrum" : " spectra") +
                       " of the NiOx thin test specimen") +
            "</p>\n";
    html += OverviewTable(spectra);
    for (const ReportedSpectrum& s : spectra)
        html += SpectrumSection(s);
    return html + PageEnd();
}

}  // namespace xrayutils
