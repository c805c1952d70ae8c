// ImageDescription: an image read back from the stand-in host, as text for a person.
//
// Numbers are written in the shortest form that reads back to the same value: a 4-byte
// real (calibrations, the values of 4-byte real images) as a float, everything else as a
// double; infinities and not-a-number as "inf", "-inf" and "nan". Nothing here throws except
// what the stream throws.
#ifndef XRAY_CLI_IMAGEDESCRIPTION_H
#define XRAY_CLI_IMAGEDESCRIPTION_H

#include <ostream>
#include <string>

#include "host/StandInHost.h"

namespace xrayutils {

std::string FormatReal4(float value);
std::string FormatDouble(double value);

// One line each: "Name: ", "Channels: ", "Origin: ", "Scale: ", "Units: ",
// "Intensity unit: " (dimension 0's calibration), then "Tags:" and the tag tree.
void DescribeImage(const dmhost::ImageSnapshot& image, std::ostream& out);

// The members of `group`, one "Label: value" line each, indented two blanks per level
// from `depth`; a group or list is a "Label:" line followed by its members, a list's items
// labelled by their position, "[0]", "[1]", ...
void DescribeTags(const dmhost::TagValue& group, int depth, std::ostream& out);

}  // namespace xrayutils

#endif  // XRAY_CLI_IMAGEDESCRIPTION_H
