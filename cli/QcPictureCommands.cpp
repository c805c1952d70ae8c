// `xrayutils qc chart` and `xrayutils qc report`: the detector's history drawn as control
// charts and written as one self-contained HTML page.
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/ControlChart.h"
#include "cli/HtmlPage.h"
#include "cli/PictureOptions.h"
#include "cli/QcCommands.h"
#include "cli/QcPictureData.h"
#include "cli/QcReportPage.h"

namespace xrayutils {

namespace {

class QcChartCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("chart");
        command.description("draw a control chart of a tracked quantity");
        command.footer(
            "Draws QUANTITY (a tracked quantity as `qc limits` names it, or all) of the "
            "detector's entries against acquisition date: each entry with its 1-sigma error "
            "bar, the baseline mean and the control limits as lines, entries outside the "
            "limits as diamonds in the alarm colour, culled entries hollow. With all, one "
            "chart per tracked quantity that has values, stacked on one page, which "
            "grows by a chart's height for each. The format follows the extension of OUT.");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        command.add_option("--quantity", fQuantity, "the tracked quantity, or all")
            ->type_name("QUANTITY")
            ->required();
        DeclarePictureOptions(command, fPicture, ControlChartSize(1));
    }

    int Run(const QcContext& context) override {
        if (fQuantity != "all")
            QcQuantityIndex(fQuantity);  // refuses an unknown quantity before the store opens
        QcStore store = context.Open(QcStore::Access::kRead);
        const QcReport report =
            MakeQcReport(fDetector, store.Entries(fDetector), store.Limits(fDetector));
        std::vector<ControlSeries> charts;
        for (const ControlSeries& series : report.charts)
            if (fQuantity == "all" || series.quantity == fQuantity)
                charts.push_back(series);
        if (charts.empty())
            throw QcError("detector " + fDetector + " has no values of " +
                          (fQuantity == "all" ? "any tracked quantity" : fQuantity));
        fPicture.defaultSize = ControlChartSize(charts.size());
        const PictureRequest request = CheckPictureOptions(fPicture);
        const std::string title =
            charts.size() == 1 ? fDetector + ": " + DescribeQuantity(fQuantity).label : fDetector;
        DrawControlCharts(charts, title, request.path, request.format, request.size);
        context.out << "Wrote " << request.path << "\n";
        return kSuccess;
    }

  private:
    std::string fDetector;
    std::string fQuantity;
    PictureOptions fPicture;
};

class QcReportCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("report");
        command.description("write the detector's QC history as an HTML page");
        command.footer(
            "Writes one self-contained HTML page: the detector, its entry count and date "
            "range, the check of its latest entry that is not culled (as `qc check` does it), "
            "a control chart of every tracked quantity that has values and the entries as a "
            "table. The page needs no network to open, travels as one file and prints on A4.");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        command.add_option("-o,--output", fOutput, "the page to write")
            ->type_name("OUT.html")
            ->required();
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kRead);
        const QcReport report =
            MakeQcReport(fDetector, store.Entries(fDetector), store.Limits(fDetector));
        WritePageFile(fOutput, WriteQcReportPage(report));
        context.out << "Wrote " << fOutput << "\n";
        return kSuccess;
    }

  private:
    std::string fDetector;
    std::string fOutput;
};

}  // namespace

std::unique_ptr<QcSubcommand> MakeQcChartCommand() {
    return std::make_unique<QcChartCommand>();
}

std::unique_ptr<QcSubcommand> MakeQcReportCommand() {
    return std::make_unique<QcReportCommand>();
}

}  // namespace xrayutils
