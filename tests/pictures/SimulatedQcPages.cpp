// simulated_qc_pages: writes the pictures of a simulated detector QC history, without any QC
// database: `simulated_qc_pages DIR` writes DIR/qc-report.html (the QC report page),
// DIR/control-chart.png (the resolution's control chart) and DIR/control-charts-all.png
// (every tracked quantity stacked). `make check-browser` renders the page; the README's
// control chart is the PNG.
#include <fstream>
#include <iostream>
#include <string>

#include "cli/ControlChart.h"
#include "cli/QcReportPage.h"
#include "tests/pictures/SimulatedQcHistory.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: simulated_qc_pages DIR\n";
        return 2;
    }
    const std::string folder = argv[1];
    try {
        const xrayutils::QcReport report = testsupport::SimulatedQcReport("EDS-1 (simulated)");
        std::ofstream page(folder + "/qc-report.html", std::ios::binary);
        page << xrayutils::WriteQcReportPage(report);
        if (!page.flush())
            throw std::runtime_error("cannot write " + folder + "/qc-report.html");
        xrayutils::DrawControlCharts({report.charts.front()},
                                     report.detector + ": FWHM at Mn K\xCE\xB1",
                                     folder + "/control-chart.png", xrayutils::PictureFormat::kPng,
                                     xrayutils::ControlChartSize(1));
        xrayutils::DrawControlCharts(
            report.charts, report.detector, folder + "/control-charts-all.png",
            xrayutils::PictureFormat::kPng, xrayutils::ControlChartSize(report.charts.size()));
    } catch (const std::exception& e) {
        std::cerr << "simulated_qc_pages: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Wrote " << folder
              << "/qc-report.html, control-chart.png, control-charts-all.png\n";
    return 0;
}
