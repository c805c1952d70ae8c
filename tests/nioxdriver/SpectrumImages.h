// Spectrum images for the driver tests: simulated NiOx counts in a host image calibrated
// and tagged as an imported EDS spectrum is (origin = energy of channel 0 in keV, scale =
// keV per channel, the five tags the solid angle reads).
#ifndef XRAY_TESTS_NIOXDRIVER_SPECTRUMIMAGES_H
#define XRAY_TESTS_NIOXDRIVER_SPECTRUMIMAGES_H

#include <string>
#include <vector>

#include "host/StandInHost.h"
#include "niox/NiOxWindows.h"
#include "sim/NiOxSimulation.h"

namespace nioxtest {

using namespace xray;

struct SolidAngleTags {
    double xTilt = 10.0;
    double yTilt = 5.0;
    double voltage = 200.0;
    double probeCurrent = 1.5;
    double liveTime = 90.0;
};

// The tag paths the solid angle reads, in the order it reads them.
inline const std::vector<std::string>& SolidAngleTagPaths() {
    static const std::vector<std::string> paths = {
        "EDS:Detector info:Stage x-tilt", "EDS:Detector info:Stage y-tilt",
        "Microscope Info:Voltage", "Microscope Info:Probe Current (nA)", "EDS:Live time"};
    return paths;
}

// The root members holding the five tags, leaving out the one at `omitted` (a path of
// SolidAngleTagPaths(), or "" for none).
inline std::vector<dmhost::TagValue> TagsOf(const SolidAngleTags& t,
                                            const std::string& omitted = "") {
    using dmhost::TagValue;
    const auto add = [&](std::vector<TagValue>& group, const std::string& path,
                         const std::string& label, double value) {
        if (path != omitted)
            group.push_back(TagValue::Double(label, value));
    };
    std::vector<TagValue> detector, eds, microscope;
    add(detector, SolidAngleTagPaths()[0], "Stage x-tilt", t.xTilt);
    add(detector, SolidAngleTagPaths()[1], "Stage y-tilt", t.yTilt);
    add(microscope, SolidAngleTagPaths()[2], "Voltage", t.voltage);
    add(microscope, SolidAngleTagPaths()[3], "Probe Current (nA)", t.probeCurrent);
    eds.push_back(TagValue::Group("Detector info", detector));
    add(eds, SolidAngleTagPaths()[4], "Live time", t.liveTime);
    return {TagValue::Group("Microscope Info", microscope), TagValue::Group("EDS", eds)};
}

inline dmhost::ImageSpec SpectrumSpec(const std::string& name, const std::vector<double>& counts,
                                      float offset = 0.0f, float step = 0.01f,
                                      uint32_t dataType = dmhost::kReal4Data,
                                      std::vector<dmhost::TagValue> tags = TagsOf({})) {
    dmhost::ImageSpec spec;
    spec.name = name;
    spec.dataType = dataType;
    spec.values = counts;
    spec.calibrations = {dmhost::DimensionCalibration{offset, step, "keV"}};
    spec.intensityUnit = "Counts";
    spec.tags = std::move(tags);
    return spec;
}

// The table the drivers build from these counts and this calibration.
inline EnergyCountTable TableOf(const std::vector<double>& counts, float offset = 0.0f,
                                float step = 0.01f, size_t rows = SIZE_MAX) {
    const size_t n = rows < counts.size() ? rows : counts.size();
    return MakeEnergyCountTable(counts.data(), static_cast<int32_t>(n), static_cast<double>(offset),
                                static_cast<double>(step));
}

// A simulated NiOx spectrum shared by the tests (2048 channels, default parameters).
inline const SimulatedNiOxSpectrum& SharedSpectrum() {
    static const SimulatedNiOxSpectrum spectrum = [] {
        NiOxSimulationParameters p;
        p.generatorState = 11;
        return SimulateNiOxSpectrum(p);
    }();
    return spectrum;
}

}  // namespace nioxtest

#endif  // XRAY_TESTS_NIOXDRIVER_SPECTRUMIMAGES_H
