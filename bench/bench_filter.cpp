// Throughput of the four filter kernels on a spectrum of a million channels.
// Targets: derivatives and fixed top-hat 200 million channels per second or more, the
// variable top-hat 50 million or more (see items_per_second).
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>

#include "filter/FilterKernels.h"

namespace xray {

namespace {

constexpr int32_t kChannels = 1000000;
constexpr double kChannelWidth = 0.01;  // keV
constexpr double kResolution = 0.13;    // keV at Mn K-alpha

Array1D<double> Spectrum() {
    Array1D<double> y(kChannels);
    for (int32_t i = 0; i < kChannels; ++i)
        y[i] = 1000.0 + 400.0 * std::sin(0.01 * i) + i % 17;
    return y;
}

// Each iteration filters a fresh copy; the copy itself is not timed.
void RunFilter(benchmark::State& state, const std::function<void(Array1D<double>&)>& filter) {
    const Array1D<double> input = Spectrum();
    Array1D<double> work(kChannels);
    for (auto _ : state) {
        state.PauseTiming();
        work = input;
        state.ResumeTiming();
        filter(work);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kChannels);
}

void BM_FirstDerivative(benchmark::State& state) {
    RunFilter(state, [](Array1D<double>& y) { FirstDerivativeFilter(kChannelWidth, y); });
}

void BM_SecondDerivative(benchmark::State& state) {
    RunFilter(state, [](Array1D<double>& y) { SecondDerivativeFilter(kChannelWidth, y); });
}

void BM_FixedTopHat(benchmark::State& state) {
    RunFilter(state, [](Array1D<double>& y) { FixedTopHatFilter(kChannelWidth, kResolution, y); });
}

void BM_VariableTopHat(benchmark::State& state) {
    RunFilter(state,
              [](Array1D<double>& y) { VariableTopHatFilter(0.0, kChannelWidth, kResolution, y); });
}

}  // namespace

BENCHMARK(BM_FirstDerivative)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondDerivative)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FixedTopHat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariableTopHat)->Unit(benchmark::kMillisecond);

}  // namespace xray
