#include "plugin/SpectrumFilterCommand.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <string>
#include <utility>

#include "array/Array1D.h"
#include "filter/FilterTypes.h"
#include "plugin/ErrorManager.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/ImageUtility.h"
#include "port/Platform.h"

using namespace Gatan::PlugIn;
using namespace xray;

namespace {

constexpr const char* kResolutionTag = "EDS:Detector info:Energy resolution";
constexpr const char* kProcessingList = "Processing";
// Insertion index past any list's end: the record becomes the last entry.
constexpr int32_t kAppendAtEnd = 2147483647;
constexpr uint32_t kDataReal4 = ImageData::REAL4_DATA;
constexpr uint32_t kDataReal8 = ImageData::REAL8_DATA;

// What the filter reads from the spectrum, all taken from its 8-byte-real clone.
struct SpectrumInput {
    Image clone;
    std::string name;
    int32_t channels = 0;
    float origin = 0.0f;
    float scale = 0.0f;
    String axisUnit;
    std::string intensityUnit;
    TagGroup tags;
    double resolutionEv = std::numeric_limits<double>::quiet_NaN();
    Array1D<double> values;
};

Image RealClone(const Image& image) {
    Image clone = ImageClone(image);
    if (ImageGetDataType(clone) != kDataReal8)
        ImageChangeDataType(clone, kDataReal8);
    return clone;
}

int32_t ChannelCount(const Image& image) {
    const uint32_t count = ImageGetDimensionSize(image, 0);
    if (count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        Gatan::RaiseErrorText("The spectrum has too many channels to filter.");
    return static_cast<int32_t>(count);
}

// NaN when the tag is missing or not a number.
double ReadResolution(const TagGroup& tags) {
    double resolutionEv = 0.0;
    if (!TagGroupGetTagAsDouble(tags, kResolutionTag, resolutionEv))
        return std::numeric_limits<double>::quiet_NaN();
    return resolutionEv;
}

// The locked data as consecutive doubles, refused unless it holds `count` 8-byte reals.
double* LockedDoubles(const ImageDataLocker& locker, int32_t count) {
    const ImageData& data = locker.get_image_data();
    if (data.get_data() == nullptr || data.get_data_type() != kDataReal8 ||
        data.get_dimension_count() == 0 || data.get_dimension_values(0).first < count) {
        Gatan::RaiseErrorText("The spectrum's data cannot be accessed as 8-byte reals.");
    }
    return static_cast<double*>(data.get_data());
}

void ReadValues(const Image& image, Array1D<double>& values) {
    ImageDataLocker locker(image, 1);
    const double* data = LockedDoubles(locker, values.count());
    for (int32_t i = 0; i < values.count(); ++i)
        values[i] = data[i];
    locker.Unlock();  // here, not in the destructor, so that a host failure is reported
}

void WriteValues(const Image& image, const Array1D<double>& values) {
    ImageDataLocker locker(image, 1);
    double* data = LockedDoubles(locker, values.count());
    for (int32_t i = 0; i < values.count(); ++i)
        data[i] = values[i];
    locker.Unlock();  // here, not in the destructor, so that a host failure is reported
}

SpectrumInput ReadSpectrum(const Image& image) {
    SpectrumInput input;
    input.clone = RealClone(image);
    input.name = StringToText(ImageGetName(input.clone));
    input.channels = ChannelCount(input.clone);
    ImageGetDimensionCalibration(input.clone, 0, input.origin, input.scale, input.axisUnit, 1);
    input.intensityUnit = StringToText(ImageGetIntensityUnitString(input.clone));
    input.tags = ImageGetTagGroup(input.clone);
    input.resolutionEv = ReadResolution(input.tags);
    input.values = Array1D<double>(input.channels);  // every value is read next
    ReadValues(input.clone, input.values);
    return input;
}

void CheckResolution(const FilterTypeInfo& filter, double resolutionEv) {
    if (filter.NeedsResolution() && !(resolutionEv > 0.0 && std::isfinite(resolutionEv))) {
        Gatan::RaiseErrorText(
            "The top-hat filters need the detector resolution in eV: the spectrum has no "
            "positive \"EDS:Detector info:Energy resolution\" tag.");
    }
}

std::string LocalTimeText() {
    const std::tm local = xray::port::LocalTime(std::time(nullptr));
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%m/%d/%Y, %I:%M:%S %p", &local);
    return std::string(text, length);
}

void AppendProcessingRecord(const TagGroup& tags, const FilterTypeInfo& filter,
                            double resolutionEv) {
    TagGroup record = NewTagGroup();
    TagGroupSetTagAsString(record, "Operation", MakeString(filter.name));
    if (filter.NeedsResolution()) {
        TagGroup parameters = NewTagGroup();
        TagGroupSetTagAsDouble(parameters, filter.lobeWidthLabel, resolutionEv);
        TagGroupSetTagAsTagGroup(record, "Parameters", parameters);
    }
    TagGroupSetTagAsString(record, "Time", MakeString(LocalTimeText()));
    TagGroup history = TagGroupGetOrCreateTagList(tags, kProcessingList);
    TagGroupInsertTagAsTagGroup(history, kAppendAtEnd, record);
}

// The new image, complete: values, calibration, unit, tags and the processing record.
Image MakeResultImage(const SpectrumInput& input, const FilterTypeInfo& filter) {
    const std::string name = input.name + " (" + filter.name + ")";
    Image result = CreateReal1DImage(name.c_str(), 8, input.channels);
    WriteValues(result, input.values);
    ImageChangeDataType(result, kDataReal4);
    ImageSetDimensionCalibration(result, 0, input.origin, input.scale, input.axisUnit, 1);
    const std::string unit =
        FilteredIntensityUnit(filter, input.intensityUnit, StringToText(input.axisUnit));
    ImageSetIntensityUnitString(result, MakeString(unit));
    TagGroup tags = ImageGetTagGroup(result);
    TagGroupCopyTagsFrom(tags, input.tags);
    AppendProcessingRecord(tags, filter, input.resolutionEv);
    ImageDataChanged(result);
    return result;
}

Image FilterSpectrum(const Image& spectrum, const FilterTypeInfo& filter) {
    if (spectrum.IsNull())
        Gatan::RaiseErrorText("No spectrum image was given to filter.");
    SpectrumInput input = ReadSpectrum(spectrum);
    CheckResolution(filter, input.resolutionEv);
    filter.run(input.origin, input.scale, input.resolutionEv / 1000.0, input.values);
    return MakeResultImage(input, filter);
}

}  // namespace

void ApplySpectrumFilter(Image spectrumImage, uint32_t filterType, Image& result) {
    try {
        const FilterTypeInfo* filter = FindFilterType(filterType);
        if (filter == nullptr)
            Gatan::RaiseErrorText("FilterType is out of range, should be 1-4.");
        // Handed over only when complete, so a failure part-way leaves the variable alone.
        result = FilterSpectrum(spectrumImage, *filter);
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
}
