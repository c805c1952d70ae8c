#include "cli/SpectrumEvaluation.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "emsa/EMSAReader.h"
#include "niox/NiOxWindows.h"

namespace xrayutils {

using namespace xray;

namespace {

EnergyCountTable TableOf(const ReadSpectrum& s, size_t rows) {
    return MakeEnergyCountTable(s.counts.data(), static_cast<int32_t>(rows), s.offset, s.step);
}

}  // namespace

NiOxSpectrum ReadSpectrum::AsNiOxSpectrum() const {
    return NiOxSpectrum{counts.data(), static_cast<int32_t>(counts.size()), offset, step};
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

ReadSpectrum ReadSpectrumAsImported(const std::string& path) {
    ReadSpectrum s;
    s.file = path;
    s.name = BaseName(path);
    try {
        s.record = ReadSpectrumFile(path);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        s.readError = e.what();
        return s;
    }
    if (s.record.npoints == 0) {
        s.readError = "The spectrum file \"" + path + "\" holds no channels.";
        return s;
    }
    // Narrowed through float variables: GCC 12 at -O2 drops the narrowing of a pair of
    // double(float(x)) expressions it vectorises together.
    s.counts.reserve(s.record.npoints);
    for (const float value : s.record.channels)
        s.counts.push_back(value);
    s.offset = static_cast<float>(s.record.offset);
    s.step = static_cast<float>(s.record.xperchan);
    return s;
}

SolidAngleInput AcquisitionOf(const EMSASpectrum& record, double thickness) {
    SolidAngleInput in;
    in.filmThickness = thickness;
    in.voltage = record.beamkv;
    in.xTilt = record.xtiltstge;
    in.yTilt = record.ytiltstge;
    in.probeCurrent = record.probecur;
    in.liveTime = record.livetime;
    return in;
}

SpectrumEvaluation EvaluateSpectrumFile(const std::string& path, const NiOxSelection& selection,
                                        std::optional<double> thickness) {
    SpectrumEvaluation e;
    e.spectrum = ReadSpectrumAsImported(path);
    e.selection = selection;
    e.thickness = thickness;
    if (e.spectrum.readError.empty())
        e.results = EvaluateNiOxSpectrum(e.spectrum.AsNiOxSpectrum(), selection,
                                         AcquisitionOf(e.spectrum.record, thickness.value_or(0)));
    return e;
}

Contamination ContaminationAgainst(const ReadSpectrum& file, const ReadSpectrum& reference) {
    const size_t rows = std::min(file.counts.size(), reference.counts.size());
    return EvaluateContaminationOfSpectra(TableOf(file, file.counts.size()),
                                          TableOf(reference, rows));
}

}  // namespace xrayutils
