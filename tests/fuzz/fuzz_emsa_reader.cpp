// The EMSA/MAS reader on arbitrary bytes: it either reads a spectrum whose channel array
// holds exactly npoints values or refuses the text with SpectrumFileError; nothing else may
// escape, and it must neither crash nor read outside the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "emsa/EMSAReader.h"

using namespace xray;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SpectrumText file{"fuzz.msa", std::string(reinterpret_cast<const char*>(data), size)};
    try {
        const EMSASpectrum spectrum = ReadSpectrum(file);
        if (spectrum.npoints < 0 || spectrum.npoints > kMaxChannels ||
            spectrum.channels.count() != spectrum.npoints) {
            std::fprintf(stderr, "npoints %d with %d channels\n", spectrum.npoints,
                         spectrum.channels.count());
            std::abort();
        }
    } catch (const SpectrumFileError&) {
        // A refused file is a defined result.
    }
    return 0;
}
