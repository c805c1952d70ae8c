#include "cli/QcPictureData.h"

namespace xrayutils {

namespace {

struct KnownQuantity {
    const char* quantity;
    const char* label;
    const char* unit;
    int decimals;
};

// The tracked quantities, with the decimals the NiOx report prints them with.
constexpr KnownQuantity kKnownQuantities[] = {
    {"energy_resolution.fwhm_mn_ka_ev", "FWHM at Mn K\xCE\xB1", "eV", 1},
    {"energy_resolution.fwhm_ni_ka_ev", "FWHM at Ni K\xCE\xB1", "eV", 1},
    {"inverse_hole_count.value", "Inverse hole count", "", 2},
    {"fiori_pb.value", "Fiori P/B", "", 2},
    {"total_pb.value", "Total P/B", "", 2},
    {"mo_kl_ratio.value", "Mo K/L ratio", "", 2},
    {"solid_angle_sr.value", "Collection solid angle", "sr", 4},
    {"detector_efficiency.value", "Detector efficiency", "cps/nA/sr", 4},
    {"normalized_detector_efficiency.value", "Normalized detector efficiency", "cps/nA/sr", 4},
    {"contamination.ice_nm", "Ice layer, less the reference's", "nm", 1},
    {"contamination.carbon_nm", "Carbon layer, less the reference's", "nm", 1},
};

}  // namespace

QuantityDescription DescribeQuantity(const std::string& quantity) {
    for (const KnownQuantity& known : kKnownQuantities)
        if (quantity == known.quantity)
            return QuantityDescription{known.label, known.unit, known.decimals};
    return QuantityDescription{quantity, "", 4};
}

bool WithinLimits(double value, const ControlLimits& limits) {
    return limits.low <= value && value <= limits.high;
}

bool CheckSummary::WithinLimits() const {
    for (const QuantityCheck& q : quantities)
        if (q.limits && !q.within)
            return false;
    return true;
}

}  // namespace xrayutils
