// SimulatedQcHistory: a detector's QC history made from simulated NiOx spectra, as the QC
// commands would hand it to the pictures: sixteen weekly entries evaluated through the
// core, limits from a baseline of the first six kept entries (mean plus and minus 3 s, s
// the larger of the spread and the mean counting error), one culled entry, and a
// resolution that drifts upward in the last weeks so that the latest check fails.
// Deterministic: the same history every time.
#ifndef XRAY_TESTS_PICTURES_SIMULATEDQCHISTORY_H
#define XRAY_TESTS_PICTURES_SIMULATEDQCHISTORY_H

#include <string>

#include "cli/QcPictureData.h"

namespace testsupport {

// `detector` names the detector; it goes into the report unchanged, so tests can give a
// hostile one.
xrayutils::QcReport SimulatedQcReport(const std::string& detector);

}  // namespace testsupport

#endif  // XRAY_TESTS_PICTURES_SIMULATEDQCHISTORY_H
