// EmsaHeader: the EMSA/MAS header lines that give back an imported spectrum image: its
// name, calibration and intensity unit, and the values the import put in its tags.
//
// The lines come in the order a standard file has them, up to but not including the
// SPECTRUM line. A keyword's unit (BEAMKV's kV) is kept apart so the writer can lay the
// field out. Rules that keep a re-import equal to the image:
// - SIGNALTYPE is ELS for images whose detector is an energy-loss spectrometer or whose
//   "Dispersion (kV)" is the channel width in eV turned into kV, EDS for other keV images,
//   and is left out when the reader would then rescale the channel width;
// - DWELLTIME (serial) or INTEGTIME (parallel) is the whole seconds from the start to the
//   end time, which is how long the import takes an energy-loss acquisition to run;
// - YUNITS is left out when the intensity unit is empty (any YUNITS line means "Counts");
// - DATE and TIME are left out when the tags' texts do not give a real date and time
//   (the import leaves them empty when the file had none);
// - tag values that are missing, not numbers or not finite are left out.
// Nothing here throws except std::bad_alloc.
#ifndef XRAY_CLI_EMSAHEADER_H
#define XRAY_CLI_EMSAHEADER_H

#include <string>
#include <vector>

#include "host/StandInHost.h"

namespace xrayutils {

struct EmsaHeaderLine {
    std::string keyword;
    std::string unit;  // empty for most keywords
    std::string value;
};

// The number of values on each data line.
constexpr int kEmsaValuesPerLine = 5;

std::vector<EmsaHeaderLine> EmsaHeaderOf(const dmhost::ImageSnapshot& image);

// "m/d/y" as the import writes dates, as the standard's "DD-MMM-YYYY"; empty when it is
// not a date with a month from 1 to 12.
std::string StandardDate(const std::string& dateText);

// "h:m:s AM" as the import writes clock times, as the standard's 24-hour "HH:MM:SS";
// empty when it is not a time of day.
std::string StandardTime(const std::string& clockText);

}  // namespace xrayutils

#endif  // XRAY_CLI_EMSAHEADER_H
