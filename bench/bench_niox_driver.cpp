// A whole Zor_NiOx call with all seven selections on a 4096-channel simulated spectrum: the
// built module loaded into the stand-in host, called as a script calls it (argument cells,
// wrapper, working copy, table, windows, Gaussian fit, every block, the fit image into the
// script's variable, the report String). Targets: under 60 microseconds per call, and
// Zor_NiOxIceC on two such spectra under 40. Beside them, for reference: the driver alone
// in process (no wrapper, no cells).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "plugin/HostBinding.h"
#include "plugin/HostCall.h"
#include "plugin/NiOxDriver.h"
#include "plugin/PlugInUtility.h"
#include "sim/NiOxSimulation.h"

using namespace xray;

namespace {

using dmhost::ScriptValue;
using dmhost::TagValue;

// A 4096-channel NiOx spectrum of 4-byte reals, calibrated and tagged as imported.
dmhost::ObjectRef MakeSpectrum(dmhost::StandInHost& host, uint64_t generatorState) {
    NiOxSimulationParameters p;
    p.channels = 4096;
    p.generatorState = generatorState;
    dmhost::ImageSpec spec;
    spec.name = "NiOx 4096";
    spec.dataType = dmhost::kReal4Data;
    spec.values = SimulateNiOxSpectrum(p).counts;
    spec.calibrations = {dmhost::DimensionCalibration{0.0f, 0.01f, "keV"}};
    const TagValue detector =
        TagValue::Group("Detector info",
                        {TagValue::Double("Stage x-tilt", 0), TagValue::Double("Stage y-tilt", 0)});
    spec.tags = {TagValue::Group("Microscope Info", {TagValue::Double("Voltage", 200.0),
                                                     TagValue::Double("Probe Current (nA)", 1.0)}),
                 TagValue::Group("EDS", {detector, TagValue::Double("Live time", 100.0)})};
    return host.MakeImage(spec);
}

void BM_ZorNiOxAllFlags4096(benchmark::State& state) {
    dmhost::StandInHost host;
    dmhost::HostedModule module(host, ZORXRAYUTILS_MODULE_PATH);
    const dmhost::ObjectRef spectrum = MakeSpectrum(host, 1);
    dmhost::ObjectRef fit(host);
    std::vector<ScriptValue> args = {ScriptValue::Image(spectrum.get())};
    for (int flag = 0; flag < 7; ++flag)
        args.push_back(ScriptValue::Bool(true));
    args.push_back(ScriptValue::Number(50.0));
    args.push_back(ScriptValue::Output(fit));
    for (auto _ : state) {
        dmhost::ScriptResult result = host.CallScriptFunction("Zor_NiOx", args);
        if (result.failed)
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.value.get());
    }
}
BENCHMARK(BM_ZorNiOxAllFlags4096)->Unit(benchmark::kMicrosecond);

void BM_ZorNiOxIceC4096(benchmark::State& state) {
    dmhost::StandInHost host;
    dmhost::HostedModule module(host, ZORXRAYUTILS_MODULE_PATH);
    const dmhost::ObjectRef first = MakeSpectrum(host, 1);
    const dmhost::ObjectRef second = MakeSpectrum(host, 2);
    const std::vector<ScriptValue> args = {ScriptValue::Image(first.get()),
                                           ScriptValue::Image(second.get())};
    for (auto _ : state) {
        dmhost::ScriptResult result = host.CallScriptFunction("Zor_NiOxIceC", args);
        if (result.failed)
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.value.get());
    }
}
BENCHMARK(BM_ZorNiOxIceC4096)->Unit(benchmark::kMicrosecond);

// The frame objects of this program linked to a stand-in host, as the in-process tests do.
void BM_EvaluateNiOxInProcess4096(benchmark::State& state) {
    dmhost::StandInHost host;
    Gatan::PlugIn::PlugInLibraryReference library;
    Gatan::PlugIn::LinkHost(host.Interface());
    Gatan::PlugIn::LinkPendingHost();
    {
        const Gatan::PlugIn::Image spectrum =
            Gatan::PlugIn::Image::TakeOver(MakeSpectrum(host, 1).release());
        Gatan::PlugIn::Image fit;
        for (auto _ : state) {
            Gatan::PlugIn::String report =
                EvaluateNiOx(spectrum, true, true, true, true, true, true, true, 50.0, fit);
            if (report.IsNull())
                state.SkipWithError("the evaluation failed");
            benchmark::DoNotOptimize(report.get());
        }
    }
    Gatan::PlugIn::ReleaseHostFunctionSlots();
    Gatan::PlugIn::LinkHost(nullptr);
    Gatan::PlugIn::LinkPendingHost();
}
BENCHMARK(BM_EvaluateNiOxInProcess4096)->Unit(benchmark::kMicrosecond);

}  // namespace
