// The four filter kernels on random lengths, channel widths, start energies, resolutions and
// channel values. A kernel either filters (the channel count unchanged) or refuses with
// std::invalid_argument and leaves every value as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "array/Array1D.h"
#include "filter/FilterKernels.h"
#include "tests/fuzz/FuzzInput.h"

using namespace xray;

namespace {

// Longest spectrum tried: a few times any detector's channel count.
constexpr uint32_t kMaxFuzzChannels = 1 << 16;

Array1D<double> Channels(fuzz::FuzzInput& in) {
    Array1D<double> spectrum(static_cast<int32_t>(in.InRange(0, kMaxFuzzChannels)), 0.0);
    const bool raw = in.Flag();
    for (double& value : spectrum) {
        if (in.remaining() == 0)
            break;
        value = raw ? in.RawDouble() : static_cast<double>(in.Uint32() % 100000);
    }
    return spectrum;
}

void Filter(int kernel, double E0, double h, double R, Array1D<double>& spectrum) {
    switch (kernel) {
        case 0:
            FirstDerivativeFilter(h, spectrum);
            break;
        case 1:
            SecondDerivativeFilter(h, spectrum);
            break;
        case 2:
            FixedTopHatFilter(h, R, spectrum);
            break;
        default:
            VariableTopHatFilter(E0, h, R, spectrum);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const int kernel = in.Byte() % 4;
    const double h = in.Number(-0.05, 0.05);  // keV per channel
    const double E0 = in.Number(-5.0, 40.0);  // keV
    const double R = in.Number(0.0, 0.5);     // keV
    Array1D<double> spectrum = Channels(in);
    const Array1D<double> before = spectrum;
    try {
        Filter(kernel, E0, h, R, spectrum);
    } catch (const std::invalid_argument&) {
        if (std::memcmp(before.data(), spectrum.data(), sizeof(double) * before.count()) != 0) {
            std::fprintf(stderr, "kernel %d changed the spectrum it refused\n", kernel);
            std::abort();
        }
        return 0;
    }
    if (spectrum.count() != before.count()) {
        std::fprintf(stderr, "kernel %d changed the channel count\n", kernel);
        std::abort();
    }
    return 0;
}
