// QcReportPage: the page `xrayutils qc report` writes about one detector: its entry count and
// date range, the latest check at the top (within limits, or which quantities lie outside
// and by how many s from the mean), one control chart per tracked quantity (ControlChart)
// and the entries as a table. Self-contained HTML (HtmlPage); every text from the history
// (detector, file names, notes) is escaped.
#ifndef XRAY_CLI_QCREPORTPAGE_H
#define XRAY_CLI_QCREPORTPAGE_H

#include <string>

#include "cli/QcPictureData.h"

namespace xrayutils {

// The page. A chart PLplot cannot draw shows its message in its place. Throws
// std::invalid_argument for a time that is not ISO 8601.
std::string WriteQcReportPage(const QcReport& report);

}  // namespace xrayutils

#endif  // XRAY_CLI_QCREPORTPAGE_H
