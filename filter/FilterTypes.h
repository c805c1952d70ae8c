// FilterTypes: the four spectrum filters by type number, as the filter command and its
// callers select them.
//
//   1 "first derivative"   FirstDerivativeFilter    unit  <intensity>/<axis>
//   2 "second derivative"  SecondDerivativeFilter   unit  <intensity>/<axis>**2
//   3 "fixed tophat"       FixedTopHatFilter        unit  <intensity>/<axis>**2
//   4 "variable tophat"    VariableTopHatFilter     unit  <intensity>/<axis>**2
//
// The top-hats (3 and 4) need the detector resolution; their description names the tag
// label under which the filter command records it. Descriptions are static and live for
// the program. RunFilter throws what the kernel throws (std::invalid_argument for a short
// spectrum or an unusable calibration or resolution, std::bad_alloc), leaving the values
// unchanged.
#ifndef XRAY_FILTER_FILTERTYPES_H
#define XRAY_FILTER_FILTERTYPES_H

#include <cstdint>
#include <string>

#include "array/Array1D.h"

namespace xray {

struct FilterTypeInfo {
    uint32_t type;
    const char* name;
    // Appended to "<intensity>/<axis>": "" or "**2".
    const char* unitPower;
    // Label of the lobe-width tag in the processing record; null for filters that do not
    // use the resolution.
    const char* lobeWidthLabel;
    // Runs the kernel: origin = energy of channel 0, scale = channel width, resolution =
    // FWHM at Mn K-alpha, all in keV.
    void (*run)(double origin, double scale, double resolution, Array1D<double>& values);

    bool NeedsResolution() const { return lobeWidthLabel != nullptr; }
};

constexpr uint32_t kFirstFilterType = 1;
constexpr uint32_t kLastFilterType = 4;

// The description of a type, or null when the number is not 1 to 4.
const FilterTypeInfo* FindFilterType(uint32_t type);

// The intensity unit of a filtered spectrum: "counts" over "keV" gives "counts/keV" for the
// first derivative and "counts/keV**2" for the others.
std::string FilteredIntensityUnit(const FilterTypeInfo& filter, const std::string& intensityUnit,
                                  const std::string& axisUnit);

}  // namespace xray

#endif  // XRAY_FILTER_FILTERTYPES_H
