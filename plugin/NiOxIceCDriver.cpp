#include "plugin/NiOxIceCDriver.h"

#include <algorithm>
#include <string>

#include "niox/Contamination.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostStrings.h"
#include "plugin/WorkingSpectrum.h"

using namespace Gatan::PlugIn;
using namespace xray;

namespace {

std::string WriteIceCReport(const Image& spectrum1, const Image& spectrum2) {
    const WorkingSpectrum first = MakeWorkingSpectrum(spectrum1);
    const WorkingSpectrum second = MakeWorkingSpectrum(spectrum2);
    const EnergyCountTable table1 = ReadEnergyCountTable(first, first.count);
    const EnergyCountTable table2 =
        ReadEnergyCountTable(second, std::min(first.count, second.count));
    const Contamination result = EvaluateContaminationOfSpectra(table1, table2);
    return WriteContaminationReport(first.name, second.name, result);
}

}  // namespace

String EvaluateNiOxIceC(Image spectrum1, Image spectrum2) {
    try {
        return MakeString(WriteIceCReport(spectrum1, spectrum2));
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    return String();
}
