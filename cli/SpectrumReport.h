// SpectrumReport: the page `xrayutils report` writes: per spectrum its acquisition values,
// the NiOx results with their 1-sigma errors, and its picture (SpectrumPlot); a spectrum
// that could not be read or evaluated shows why. An overview table of all spectra heads the
// page. Self-contained HTML (HtmlPage); every text from a file is escaped.
#ifndef XRAY_CLI_SPECTRUMREPORT_H
#define XRAY_CLI_SPECTRUMREPORT_H

#include <string>
#include <vector>

#include "cli/SpectrumEvaluation.h"

namespace xrayutils {

struct ReportedSpectrum {
    SpectrumEvaluation evaluation;
    std::string picture;       // inline SVG; empty when the spectrum has none
    std::string pictureError;  // why the picture could not be drawn
};

// Draws the picture of every spectrum that was read, one after another, as inline SVG; a
// picture PLplot cannot draw keeps its message in pictureError.
void DrawReportPictures(std::vector<ReportedSpectrum>& spectra);

std::string WriteSpectrumReportPage(const std::vector<ReportedSpectrum>& spectra);

}  // namespace xrayutils

#endif  // XRAY_CLI_SPECTRUMREPORT_H
