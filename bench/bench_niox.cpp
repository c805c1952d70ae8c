// One Gaussian peak fit on an 80-channel window and one window integration over a
// 4096-channel spectrum. Target: each under 20 microseconds per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "fit/GaussianFit.h"
#include "niox/EnergyResolution.h"
#include "niox/NiOxWindows.h"

namespace xray {

namespace {

// A peak filling all 80 channels (sigma 15 channels), whole counts, scaled to at most 1
// as the energy-resolution evaluation passes it.
Array1D<double> PeakWindow() {
    Array1D<double> y(80);
    for (int32_t i = 0; i < 80; ++i)
        y[i] = std::round(5000 * std::exp(-(i - 39.6) * (i - 39.6) / 450.0) + 20);
    double max = 0;
    for (double v : y)
        max = std::max(max, v);
    for (double& v : y)
        v /= max;
    return y;
}

// 4096 channels of 0.01 keV with a Ni Ka peak on a sloping background.
EnergyCountTable Spectrum() {
    std::vector<double> counts(4096);
    for (size_t i = 0; i < counts.size(); ++i) {
        const double x = (i - 747.8) / 6.4;
        counts[i] = std::round(200.0 - 0.02 * i + 5000 * std::exp(-0.5 * x * x));
    }
    return MakeEnergyCountTable(counts.data(), 4096, 0.0, static_cast<double>(0.01f));
}

void BM_FitGaussianPeak80(benchmark::State& state) {
    const Array1D<double> window = PeakWindow();
    int passes = 0;
    for (auto _ : state) {
        const GaussianPeakFit fit = FitGaussianPeak(window);
        benchmark::DoNotOptimize(fit);
        passes = fit.passes;
    }
    state.counters["passes"] = passes;
}
BENCHMARK(BM_FitGaussianPeak80)->Unit(benchmark::kMicrosecond);

void BM_IntegrateWindows4096(benchmark::State& state) {
    const EnergyCountTable table = Spectrum();
    WindowTable windows(kWindowRows, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(IntegrateWindows(table, windows));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_IntegrateWindows4096)->Unit(benchmark::kMicrosecond);

// The whole energy-resolution computation on the same spectrum, for reference.
void BM_ComputeEnergyResolution(benchmark::State& state) {
    const EnergyCountTable table = Spectrum();
    Array1D<double> curve(table.nrows(), 0.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeEnergyResolution(0.01, table, curve));
}
BENCHMARK(BM_ComputeEnergyResolution)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace xray
