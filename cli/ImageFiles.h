// ImageFiles: a one-dimensional image read back from the stand-in host, written to a file.
//
// WriteImageCsv writes the line "channel,energy,value" and then one such row per element,
// the energy being origin + scale x channel of dimension 0's calibration.
//
// WriteImageEmsa writes a standard-layout EMSA/MAS file (ISO 22029): the required header
// lines, the header values that the import's tags and calibration carry, one line of up to
// five values per row, and the end-of-data line. Importing it gives the same channel values,
// calibration and intensity unit: the unit lines are chosen so that the reader's energy
// normalisation leaves the scale as it is, no YUNITS line is written for an empty
// intensity unit, and a date or time the tags do not give is left out. Numbers are written
// with enough digits to read back unchanged; non-finite tag values are left out.
//
// Both throw std::runtime_error naming the file when it cannot be written.
#ifndef XRAY_CLI_IMAGEFILES_H
#define XRAY_CLI_IMAGEFILES_H

#include <string>

#include "host/StandInHost.h"

namespace xrayutils {

void WriteImageCsv(const dmhost::ImageSnapshot& image, const std::string& path);
void WriteImageEmsa(const dmhost::ImageSnapshot& image, const std::string& path);

}  // namespace xrayutils

#endif  // XRAY_CLI_IMAGEFILES_H
