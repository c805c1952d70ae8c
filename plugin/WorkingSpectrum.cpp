#include "plugin/WorkingSpectrum.h"

#include <limits>
#include <stdexcept>

#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/ImageUtility.h"

using namespace Gatan::PlugIn;
using namespace xray;

namespace {

constexpr uint32_t kReal8 = ImageData::REAL8_DATA;

Image CloneAsReal8(const Image& spectrum) {
    if (spectrum.IsNull())
        throw std::runtime_error("No spectrum image was given.");
    Image copy = ImageClone(spectrum);
    if (copy.IsNull())
        throw std::runtime_error("The spectrum image could not be copied.");
    if (ImageGetDataType(copy) != kReal8)
        ImageChangeDataType(copy, kReal8);
    return copy;
}

// The locked data must be the 8-byte reals asked for, with at least `rows` channels in
// dimension 0, before any of it is read.
const double* CheckedChannels(const ImageData& data, uint32_t rows) {
    if (data.get_data() == nullptr || data.get_data_type() != kReal8)
        throw std::runtime_error("The spectrum's data could not be read as 8-byte reals.");
    if (data.get_dimension_count() == 0 ||
        data.get_dimension_values(0).first < static_cast<int64_t>(rows))
        throw std::runtime_error("The spectrum holds fewer channels than it reports.");
    return static_cast<const double*>(data.get_data());
}

}  // namespace

WorkingSpectrum MakeWorkingSpectrum(const Image& spectrum) {
    WorkingSpectrum w;
    w.copy = CloneAsReal8(spectrum);
    w.name = StringToText(ImageGetName(w.copy));
    w.count = ImageGetDimensionSize(w.copy, 0);
    if (w.count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error("The spectrum has too many channels.");
    String units;
    ImageGetDimensionCalibration(w.copy, 0, w.offset, w.step, units, 0);
    w.units = StringToText(units);
    return w;
}

EnergyCountTable ReadEnergyCountTable(const WorkingSpectrum& spectrum, uint32_t rows) {
    if (rows == 0)  // an empty image may have no data to lock
        return EnergyCountTable(0, 2);
    ImageDataLocker locker(spectrum.copy);
    const double* counts = CheckedChannels(locker.get_image_data(), rows);
    EnergyCountTable table = MakeEnergyCountTable(counts, static_cast<int32_t>(rows),
                                                  static_cast<double>(spectrum.offset),
                                                  static_cast<double>(spectrum.step));
    locker.Unlock();  // here, not in the destructor, so that a host failure is reported
    return table;
}
