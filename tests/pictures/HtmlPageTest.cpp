// The HTML pages: escaping of every text from files, no reference to anything outside the
// page, pictures inline, and what each page says.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "cli/HtmlPage.h"
#include "cli/QcReportPage.h"
#include "cli/SpectrumReport.h"
#include "niox/ReportFormat.h"
#include "sim/NiOxSimulation.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/pictures/SimulatedQcHistory.h"

namespace xrayutils {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kHostile = "<script>alert(\"x\")</script> O'Brien & Co";

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(HtmlPageTest, EscapeHtmlLeavesNoMarkupAndNoQuotes) {
    const std::string escaped = EscapeHtml(kHostile);
    EXPECT_EQ(escaped, "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; O&#39;Brien &amp; Co");
    EXPECT_EQ(EscapeHtml("caf\xE9\x01"), "caf\xC3\xA9") << "Latin-1 mended, controls dropped";
}

TEST(HtmlPageTest, ExternalReferencesAreFound) {
    EXPECT_THAT(testsupport::ExternalReferences("<p>plain &amp; simple</p>"), IsEmpty());
    for (const char* outside :
         {"<img src=\"a.png\">", "<a href=\"https://example.org\">", "<script>x()</script>",
          "<style>@import 'x.css';</style>", "<div style=\"background: url(x.png)\">",
          "<link rel=stylesheet href=x.css>", "<svg xmlns=\"http://www.w3.org/2000/svg\">"})
        EXPECT_THAT(testsupport::ExternalReferences(outside), Not(IsEmpty())) << outside;
    EXPECT_THAT(testsupport::ExternalReferences("<a href=\"#results\">"), IsEmpty());
}

TEST(HtmlPageTest, InlineSvgDropsProlog) {
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG "
        "1.1//EN\"\n \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n<svg\n "
        "xmlns=\"http://www.w3.org/2000/svg\"\n xmlns:xlink=\"http://www.w3.org/1999/xlink\"\n "
        "version=\"1.1\" width=\"800pt\" height=\"600pt\" viewBox=\"0 0 800 600\"\n>\n<rect "
        "width=\"800\" height=\"600\"/>\n</svg>\n";
    const std::string inline_ = InlineSvg(file, kHostile);
    EXPECT_EQ(inline_.find("<svg viewBox=\"0 0 800 600\" role=\"img\" aria-label=\"&lt;script"), 0u)
        << inline_;
    EXPECT_THAT(inline_, HasSubstr("<rect width=\"800\" height=\"600\"/>\n</svg>"));
    // Ids and references to them differ from picture to picture.
    const std::string clipped =
        "<svg viewBox=\"0 0 1 1\">\n<clipPath\n id=\"text-clipping0\">"
        "</clipPath><g clip-path=\"url(#text-clipping0)\"></g></svg>";
    const std::string first = InlineSvg(clipped, "a"), second = InlineSvg(clipped, "b");
    const std::regex id(R"(id="([^"]+)\"[^]*url\(#([^)]+)\))");
    std::smatch a, b;
    ASSERT_TRUE(std::regex_search(first, a, id)) << first;
    ASSERT_TRUE(std::regex_search(second, b, id)) << second;
    EXPECT_EQ(a[1], a[2]);
    EXPECT_EQ(b[1], b[2]);
    EXPECT_NE(a[1], b[1]);
    EXPECT_THAT(testsupport::ExternalReferences(inline_), IsEmpty());
    EXPECT_THROW(InlineSvg("<html></html>", "x"), PlotError);
}

ReportedSpectrum HostileSpectrum(bool read) {
    ReportedSpectrum s;
    SpectrumEvaluation& e = s.evaluation;
    e.spectrum.file = "spectra/" + kHostile + ".msa";
    e.spectrum.name = kHostile;
    if (!read) {
        e.spectrum.readError = "Cannot open " + kHostile;
        return s;
    }
    xray::NiOxSimulationParameters p;
    p.liveTime = 100;
    p.realTime = 110;
    e.spectrum.counts = xray::SimulateNiOxSpectrum(p).counts;
    e.spectrum.step = 0.01f;
    e.spectrum.record.title = kHostile;
    e.spectrum.record.keywordsRead = {"BEAMKV"};
    e.spectrum.record.beamkv = 200;
    e.selection = xray::NiOxSelection::All();
    e.selection.solidAngle = e.selection.detectorEfficiency = false;
    e.results = xray::EvaluateNiOxSpectrum(e.spectrum.AsNiOxSpectrum(), e.selection, {});
    return s;
}

TEST(SpectrumReportPageTest, HostileTextsAreEscapedAndThePageIsSelfContained) {
    std::vector<ReportedSpectrum> spectra = {HostileSpectrum(true), HostileSpectrum(false)};
    DrawReportPictures(spectra);
    ASSERT_THAT(spectra[0].pictureError, IsEmpty());
    const std::string page = WriteSpectrumReportPage(spectra);
    EXPECT_THAT(page, Not(HasSubstr("<script")));
    EXPECT_THAT(page, Not(HasSubstr("O'Brien")));
    EXPECT_THAT(page, HasSubstr("&lt;script&gt;alert(&quot;x&quot;)"));
    EXPECT_THAT(testsupport::ExternalReferences(page), IsEmpty());
    EXPECT_EQ(Count(page, "<svg "), 1u) << "one picture: the unread spectrum has none";
    EXPECT_EQ(Count(page, "<section class=\"spectrum\">"), 2u);
    EXPECT_THAT(page, HasSubstr("<h1>NiOx detector test report</h1>"));
    EXPECT_THAT(page, HasSubstr("@page { size: A4;"));
    EXPECT_THAT(page, HasSubstr("Cannot open &lt;script&gt;"));
    EXPECT_THAT(page, HasSubstr("not evaluated: needs --thickness"));
    EXPECT_THAT(page, HasSubstr("200 kV"));
    EXPECT_THAT(page, HasSubstr("not in the file")) << "the live time the file lacks";
    // The seven evaluations' rows, the values with their 1-sigma errors.
    const xray::NiOxResults& r = spectra[0].evaluation.results;
    EXPECT_THAT(
        page, HasSubstr("<td class=\"number\">" + xray::Fixed(r.inverseHoleCount.result->ratio, 2) +
                        "</td><td class=\"number\">" +
                        xray::Fixed(r.inverseHoleCount.result->errors[0], 2) + "</td>"));
    EXPECT_THAT(page, HasSubstr(xray::Fixed(r.energyResolution.result->fwhmMnKa, 1)));
}

TEST(QcReportPageTest, ShowsTheCheckChartsAndEntries) {
    const QcReport report = testsupport::SimulatedQcReport(kHostile);
    ASSERT_TRUE(report.check.has_value());
    ASSERT_FALSE(report.check->withinLimits) << "the simulated resolution drifts out";
    const std::string page = WriteQcReportPage(report);
    EXPECT_THAT(page, Not(HasSubstr("<script")));
    EXPECT_THAT(page, HasSubstr("<h1>Detector QC report: &lt;script&gt;"));
    EXPECT_THAT(testsupport::ExternalReferences(page), IsEmpty());
    EXPECT_EQ(Count(page, "<svg "), report.charts.size());
    EXPECT_THAT(page, HasSubstr("16 entries (1 culled), acquired 2026-01-05 09:05:00 to "));
    EXPECT_THAT(page, HasSubstr("Outside control limits"));
    // The resolution's line names its value, limits and distance from the mean.
    const QcQuantityCheck* fwhm = nullptr;
    for (const QcQuantityCheck& q : report.check->quantities)
        if (q.quantity == "energy_resolution.fwhm_mn_ka_ev")
            fwhm = &q;
    ASSERT_NE(fwhm, nullptr);
    ASSERT_EQ(fwhm->status, QcStatus::kOutside);
    EXPECT_THAT(page, HasSubstr("<li>FWHM at Mn K\xCE\xB1: " + xray::Fixed(*fwhm->value, 1) +
                                " eV, outside " + xray::Fixed(fwhm->limit->low, 1) + " to " +
                                xray::Fixed(fwhm->limit->high, 1) + " eV, " +
                                xray::Fixed(*fwhm->sigmasFromMean, 1) + " s above the mean</li>"));
    EXPECT_EQ(Count(page, "<tr class=\"culled\">"), 2u)
        << "the one culled entry, in the table of entries and in that of their values";
    EXPECT_THAT(page, HasSubstr("probe current 0.6 nA, not 1 nA"));
}

// No limits, no check; the check is of the latest entry not culled; an evaluation that
// failed there is an alarm that names its reason.
TEST(QcReportPageTest, ChecksTheLatestKeptEntry) {
    const size_t pb = QcQuantityIndex("total_pb.value");
    std::vector<QcEntry> entries(2);
    for (size_t k = 0; k < entries.size(); ++k) {
        entries[k].id = static_cast<int64_t>(k + 1);
        entries[k].acquired = k == 0 ? "2026-02-02T10:00:00" : "2026-02-09T10:00:00";
        entries[k].values.resize(QcTrackedQuantities().size());
        entries[k].values[pb].value = 100.0;
    }
    entries[1].culled = true;
    entries[1].values[pb].value = 150.0;
    EXPECT_THAT(WriteQcReportPage(MakeQcReport("EDS-2", entries, {})), HasSubstr("No check yet."));

    const std::vector<QcLimit> limits = {SetLimit("total_pb.value", 90, 110)};
    const QcReport report = MakeQcReport("EDS-2", entries, limits);
    ASSERT_TRUE(report.check.has_value());
    EXPECT_EQ(report.check->entry, 1);
    ASSERT_EQ(report.charts.size(), 1u) << "only the total P/B has values";
    std::string page = WriteQcReportPage(report);
    EXPECT_THAT(page, HasSubstr("Within control limits: all 1 checked quantities."));
    EXPECT_THAT(page, HasSubstr(">unchecked: no limits</td>"));
    EXPECT_THAT(page, Not(HasSubstr("Outside control limits")));

    entries[0].values[pb].value.reset();
    entries[0].values[pb].failure = "the spectrum has no counts";
    page = WriteQcReportPage(MakeQcReport("EDS-2", entries, limits));
    EXPECT_THAT(page, HasSubstr("<li>Total P/B: the spectrum has no counts</li>"));
}

}  // namespace
}  // namespace xrayutils
