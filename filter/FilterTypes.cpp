#include "filter/FilterTypes.h"

#include "filter/FilterKernels.h"

namespace xray {

namespace {

void RunFirstDerivative(double, double scale, double, Array1D<double>& values) {
    FirstDerivativeFilter(scale, values);
}

void RunSecondDerivative(double, double scale, double, Array1D<double>& values) {
    SecondDerivativeFilter(scale, values);
}

void RunFixedTopHat(double, double scale, double resolution, Array1D<double>& values) {
    FixedTopHatFilter(scale, resolution, values);
}

void RunVariableTopHat(double origin, double scale, double resolution, Array1D<double>& values) {
    VariableTopHatFilter(origin, scale, resolution, values);
}

const FilterTypeInfo kFilterTypes[] = {
    {1, "first derivative", "", nullptr, RunFirstDerivative},
    {2, "second derivative", "**2", nullptr, RunSecondDerivative},
    {3, "fixed tophat", "**2", "Fixed lobe width (eV)", RunFixedTopHat},
    {4, "variable tophat", "**2", "Variable lobe width (eV)", RunVariableTopHat},
};

}  // namespace

const FilterTypeInfo* FindFilterType(uint32_t type) {
    if (type < kFirstFilterType || type > kLastFilterType)
        return nullptr;
    return &kFilterTypes[type - kFirstFilterType];
}

std::string FilteredIntensityUnit(const FilterTypeInfo& filter, const std::string& intensityUnit,
                                  const std::string& axisUnit) {
    return intensityUnit + "/" + axisUnit + filter.unitPower;
}

}  // namespace xray
