#include "plugin/NiOxDriver.h"

#include <stdexcept>
#include <string>

#include "array/Array1D.h"
#include "niox/EnergyResolution.h"
#include "niox/InverseHoleCount.h"
#include "niox/MoKLRatio.h"
#include "niox/PeakToBackground.h"
#include "niox/ReportFormat.h"
#include "niox/SolidAngle.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/ImageUtility.h"
#include "plugin/WorkingSpectrum.h"

using namespace Gatan::PlugIn;
using namespace xray;

namespace {

constexpr uint32_t kReal4 = ImageData::REAL4_DATA;

double ReadRequiredTag(const TagGroup& tags, const char* path) {
    double value = 0.0;
    if (!TagGroupGetTagAsDouble(tags, path, value))
        throw std::runtime_error(std::string("The spectrum has no tag \"") + path +
                                 "\", which the solid angle and detector efficiency need.");
    return value;
}

// Read in the order x-tilt, y-tilt, voltage, probe current, live time.
SolidAngleInput ReadSolidAngleInput(const Image& copy, double filmThickness) {
    const TagGroup tags = ImageGetTagGroup(copy);
    SolidAngleInput in;
    in.filmThickness = filmThickness;
    in.xTilt = ReadRequiredTag(tags, "EDS:Detector info:Stage x-tilt");
    in.yTilt = ReadRequiredTag(tags, "EDS:Detector info:Stage y-tilt");
    in.voltage = ReadRequiredTag(tags, "Microscope Info:Voltage");
    in.probeCurrent = ReadRequiredTag(tags, "Microscope Info:Probe Current (nA)");
    in.liveTime = ReadRequiredTag(tags, "EDS:Live time");
    return in;
}

// Filled completely before it is handed out, so that a failure never leaves the caller a
// half-written image.
Image MakeFitImage(const Array1D<double>& curve) {
    Image fit = CreateReal1DImage("Gaussian Fit", 8, curve.count());
    if (fit.IsNull())
        throw std::runtime_error("The fit image could not be created.");
    ImageDataLocker locker(fit);
    const ImageData& data = locker.get_image_data();
    if (data.get_data() == nullptr || data.get_data_type() != ImageData::REAL8_DATA)
        throw std::runtime_error("The fit image's data could not be written as 8-byte reals.");
    double* values = static_cast<double*>(data.get_data());
    for (int32_t i = 0; i < curve.count(); ++i)
        values[i] = curve[i];
    ImageChangeDataType(fit, kReal4);
    locker.Unlock();
    return fit;
}

std::string WriteNiOxReport(const WorkingSpectrum& w, const NiOxSelection& s, double filmThickness,
                            Image& fitImage) {
    const EnergyCountTable table = ReadEnergyCountTable(w, w.count);
    WindowTable windows(kWindowRows, 2);
    const int32_t niKChannels = IntegrateWindows(table, windows);
    const double step = w.step;

    std::string report = WriteNiOxHeader(w.name, w.offset, w.step, w.units, w.count);
    if (s.energyResolution) {
        Array1D<double> curve(table.nrows(), 0.0);
        report += EvaluateEnergyResolution(step, table, curve);
        fitImage = MakeFitImage(curve);
    }
    if (s.inverseHoleCount)
        report += EvaluateInverseHoleCount(windows);
    if (s.fioriPB || s.totalPB)
        report += EvaluatePeakToBackground(PairSelection(s.fioriPB, s.totalPB), step, windows,
                                           niKChannels);
    if (s.moKL)
        report += EvaluateMoKLRatio(windows);
    if (s.solidAngle || s.detectorEfficiency) {
        const SolidAngleInput in = ReadSolidAngleInput(w.copy, filmThickness);
        report += EvaluateSolidAngle(PairSelection(s.solidAngle, s.detectorEfficiency),
                                     in.filmThickness, in.voltage, in.xTilt, in.yTilt,
                                     in.probeCurrent, in.liveTime, windows);
    }
    return report;
}

}  // namespace

int PairSelection(bool first, bool second) {
    return (first ? 1 : 0) + (second ? 2 : 0);
}

std::string WriteNiOxHeader(const std::string& name, float offset, float step,
                            const std::string& units, uint32_t count) {
    return "\n\t\tFile name:        " + name +
           "\n\t\tSpectrum offset: " + Significant(static_cast<double>(offset), 3, 5) + " (" +
           units + ")\n\t\tEnergy step:      " + Significant(static_cast<double>(step), 3) + " (" +
           units + ")\n\t\tNumber of points: " + std::to_string(count) + "\n\n";
}

String EvaluateNiOx(Image spectrumImage, bool energyResolution, bool inverseHoleCount, bool fioriPB,
                    bool totalPB, bool moKL, bool solidAngle, bool detectorEfficiency,
                    double filmThickness, Image& fitImage) {
    const NiOxSelection selection{energyResolution, inverseHoleCount,  fioriPB, totalPB, moKL,
                                  solidAngle,       detectorEfficiency};
    try {
        if (!selection.Any())
            return String();
        const WorkingSpectrum working = MakeWorkingSpectrum(spectrumImage);
        return MakeString(WriteNiOxReport(working, selection, filmThickness, fitImage));
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return String();
}
