// A whole NiOx evaluation with all seven selections on a 4096-channel simulated spectrum,
// through the stand-in host in one program: working copy, table, windows, Gaussian fit,
// every block, the fit image and the report String. Target: under 200 microseconds per
// call. The contamination driver on two such spectra is measured beside it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "host/StandInHost.h"
#include "niox/NiOxDriver.h"
#include "niox/NiOxIceCDriver.h"
#include "plugin/HostBinding.h"
#include "plugin/HostCall.h"
#include "plugin/PlugInUtility.h"
#include "sim/NiOxSimulation.h"

namespace {

using dmhost::TagValue;

// The module's side linked to a stand-in host for the length of one benchmark.
class LinkedHost {
  public:
    LinkedHost() {
        Gatan::PlugIn::LinkHost(host_.Interface());
        Gatan::PlugIn::LinkPendingHost();
    }
    ~LinkedHost() {
        Gatan::PlugIn::ReleaseHostFunctionSlots();
        Gatan::PlugIn::LinkHost(nullptr);
        Gatan::PlugIn::LinkPendingHost();
    }
    LinkedHost(const LinkedHost&) = delete;
    LinkedHost& operator=(const LinkedHost&) = delete;

    // A 4096-channel NiOx spectrum of 4-byte reals, calibrated and tagged as imported.
    Gatan::PlugIn::Image Spectrum(uint64_t generatorState) {
        NiOxSimulationParameters p;
        p.channels = 4096;
        p.generatorState = generatorState;
        dmhost::ImageSpec spec;
        spec.name = "NiOx 4096";
        spec.data_type = dmhost::kReal4Data;
        spec.values = SimulateNiOxSpectrum(p).counts;
        spec.calibrations = {dmhost::DimensionCalibration{0.0f, 0.01f, "keV"}};
        spec.tags = {
            TagValue::Group("Microscope Info", {TagValue::Double("Voltage", 200.0),
                                                TagValue::Double("Probe Current (nA)", 1.0)}),
            TagValue::Group(
                "EDS", {TagValue::Group("Detector info", {TagValue::Double("Stage x-tilt", 0),
                                                          TagValue::Double("Stage y-tilt", 0)}),
                        TagValue::Double("Live time", 100.0)})};
        return Gatan::PlugIn::Image::TakeOver(host_.MakeImage(spec).release());
    }

  private:
    dmhost::StandInHost host_;
    Gatan::PlugIn::PlugInLibraryReference library_;
};

void BM_EvaluateNiOxAllFlags4096(benchmark::State& state) {
    LinkedHost linked;
    const Gatan::PlugIn::Image spectrum = linked.Spectrum(1);
    Gatan::PlugIn::Image fit;
    for (auto _ : state) {
        Gatan::PlugIn::String report =
            EvaluateNiOx(spectrum, true, true, true, true, true, true, true, 50.0, fit);
        if (report.IsNull())
            state.SkipWithError("the evaluation failed");
        benchmark::DoNotOptimize(report.get());
    }
}
BENCHMARK(BM_EvaluateNiOxAllFlags4096)->Unit(benchmark::kMicrosecond);

void BM_EvaluateNiOxIceC4096(benchmark::State& state) {
    LinkedHost linked;
    const Gatan::PlugIn::Image first = linked.Spectrum(1);
    const Gatan::PlugIn::Image second = linked.Spectrum(2);
    for (auto _ : state) {
        Gatan::PlugIn::String report = EvaluateNiOxIceC(first, second);
        if (report.IsNull())
            state.SkipWithError("the evaluation failed");
        benchmark::DoNotOptimize(report.get());
    }
}
BENCHMARK(BM_EvaluateNiOxIceC4096)->Unit(benchmark::kMicrosecond);

}  // namespace
