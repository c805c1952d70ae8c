#include "plugin/EMSAioDM.h"

#include <cstdint>
#include <numeric>
#include <optional>
#include <ostream>
#include <string>

#include "emsa/EMSAReader.h"
#include "emsa/EMSASpectrum.h"
#include "emsa/SpectrumTagValues.h"
#include "plugin/ErrorManager.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/ImageUtility.h"
#include "plugin/ResultsStream.h"

using namespace Gatan::PlugIn;
using namespace xray;

namespace {

// TagGroupInsertTagAsTagGroup appends at this index.
constexpr int32_t kEndOfList = 2147483647;
// The "Data Type" of the "Microscope Info" items.
constexpr int32_t kItemDataType = 20;
constexpr int32_t kRealElementBytes = 8;
constexpr uint32_t kNameFormat = 0;
constexpr int32_t kCalibratedOrigin = 0;

// A file that cannot be opened is reported in the Results window and imported as an empty
// spectrum; any other reading failure throws. The channels are left to be read into the
// image.
std::optional<SpectrumSource> ReadHeaderOrReportFailure(const std::string& path,
                                                        EMSASpectrum& spectrum) {
    std::optional<SpectrumSource> file = OpenSpectrumFile(path);
    if (!file) {
        ResultsStream << "FAIL : Unable to open " << path << "!" << std::endl;
        return file;
    }
    ReadHeader(*file, spectrum);
    return file;
}

// The image was created with npoints 8-byte reals; a host that did otherwise would have
// the copy write where it must not.
void CheckLockedLayout(const ImageData& data, int32_t npoints) {
    if (data.get_data_type() != ImageData::REAL8_DATA) {
        Gatan::AssertionFailed("EMSAioDM", __LINE__,
                               "spectrum.get_image_data().get_data_type() == "
                               "ImageData::REAL8_DATA",
                               1);
    }
    if (data.get_dimension_count() < 1 || data.get_dimension_values(0).first < npoints) {
        Gatan::AssertionFailed("EMSAioDM", __LINE__,
                               "spectrum.get_image_data().get_dimension_values(0).first >= npoints",
                               1);
    }
}

// The channel values go from the file straight into the image's elements, so they are
// written once and no second array of them is made. Returns the count rate: their sum
// over the live time.
double ReadChannelsIntoImage(const ImageDataLocker& locker, SpectrumSource* file,
                             const EMSASpectrum& spectrum) {
    const ImageData& data = locker.get_image_data();
    CheckLockedLayout(data, spectrum.npoints);
    double* channels = static_cast<double*>(data.get_data());
    if (file != nullptr)
        ReadChannels(*file, spectrum, channels);
    return std::accumulate(channels, channels + spectrum.npoints, 0.0) / spectrum.livetime;
}

void SetCalibration(const Image& image, const EMSASpectrum& spectrum) {
    ImageSetDimensionCalibration(image, 0, static_cast<float>(spectrum.offset),
                                 static_cast<float>(spectrum.xperchan), MakeString(spectrum.xunits),
                                 kCalibratedOrigin);
    ImageSetIntensityUnitString(image, MakeString(spectrum.yunits));
}

void SetText(const TagGroup& group, const char* label, const std::string& text) {
    TagGroupSetTagAsString(group, label, MakeString(text));
}

TagGroup ItemGroup(const std::string& label) {
    TagGroup item = NewTagGroup();
    TagGroupSetTagAsLong(item, "Data Type", kItemDataType);
    SetText(item, "Label", label);
    SetText(item, "Tag path", "Microscope Info:" + label);
    return item;
}

TagGroup ItemList() {
    const TagGroup specimen = ItemGroup("Specimen");
    const TagGroup operatorName = ItemGroup("Operator");
    const TagGroup microscope = ItemGroup("Microscope");
    TagGroup list = NewTagList();
    TagGroupInsertTagAsTagGroup(list, kEndOfList, specimen);
    TagGroupInsertTagAsTagGroup(list, kEndOfList, operatorName);
    TagGroupInsertTagAsTagGroup(list, kEndOfList, microscope);
    return list;
}

// Fills the image's existing "Microscope Info" group when it has one, a new one otherwise.
void WriteMicroscopeInfo(const TagGroup& root, const EMSASpectrum& s) {
    const TagGroup items = ItemList();
    TagGroup info = NewTagGroup();
    TagGroupGetTagAsTagGroup(root, "Microscope Info", info);
    TagGroupSetTagAsTagGroup(info, "Items", items);
    SetText(info, "Microscope", "");
    SetText(info, "Operator", s.owner);
    SetText(info, "Specimen", "");
    TagGroupSetTagAsDouble(info, "Emission current (uA)", s.emission);
    SetText(info, "Illumination Mode", IlluminationModeText(s.opermode));
    SetText(info, "Imaging Mode", ImagingModeText(s.opermode));
    TagGroupSetTagAsDouble(info, "Indicated Magnification", s.magcam);
    SetText(info, "Operation Mode", OperationModeText(s.opermode));
    TagGroupSetTagAsDouble(info, "Probe Current (nA)", s.probecur);
    TagGroupSetTagAsDouble(info, "Probe Size (nm)", s.beamdiam);
    TagGroupSetTagAsDouble(info, "Voltage", s.beamkv);
    TagGroupSetTagAsTagGroup(root, "Microscope Info", info);
}

TagGroup AcquisitionGroup(const EMSASpectrum& s) {
    TagGroup acquisition = NewTagGroup();
    TagGroupSetTagAsLong(acquisition, "Channels", s.npoints);
    SetText(acquisition, "Date", DateText(s.acquired));
    TagGroupSetTagAsDouble(acquisition, "Dispersion (kV)", Dispersion(s));
    SetText(acquisition, "End time", EndTimeText(s));
    TagGroupSetTagAsDouble(acquisition, "Energy cut off (V)", 0.0);
    TagGroupSetTagAsDouble(acquisition, "Energy Range (kV)", EnergyRange(s));
    TagGroupSetTagAsDouble(acquisition, "Exposure (s)", s.livetime);
    TagGroupSetTagAsDouble(acquisition, "Live Time multiplier", 10.0);
    SetText(acquisition, "Start time", StartTimeText(s.acquired));
    return acquisition;
}

TagGroup DetectorGroup(const EMSASpectrum& s) {
    TagGroup detector = NewTagGroup();
    TagGroupSetTagAsDouble(detector, "Active layer", s.tactlyr);
    TagGroupSetTagAsDouble(detector, "Azimuthal angle", s.azimangle);
    TagGroupSetTagAsDouble(detector, "Dead layer", s.tdeadlyr);
    SetText(detector, "Detector type", DetectorTypeText(s));
    TagGroupSetTagAsDouble(detector, "Elevation angle", s.elevangle);
    TagGroupSetTagAsDouble(detector, "Fano factor", 0.1132);
    TagGroupSetTagAsDouble(detector, "Gold layer", s.tauwind);
    TagGroupSetTagAsDouble(detector, "Incident angle", 90.0);
    TagGroupSetTagAsDouble(detector, "Solid angle", s.solidangle);
    TagGroupSetTagAsDouble(detector, "Stage x-tilt", s.xtiltstge);
    TagGroupSetTagAsDouble(detector, "Stage y-tilt", s.ytiltstge);
    TagGroupSetTagAsDouble(detector, "Window thickness", WindowThickness(s));
    TagGroupSetTagAsLong(detector, "Window type", static_cast<int32_t>(s.window_type));
    TagGroupSetTagAsDouble(detector, "Zero fwhm", 0.08049);
    return detector;
}

void WriteEDS(const TagGroup& root, const EMSASpectrum& s, double countRate) {
    const TagGroup acquisition = AcquisitionGroup(s);
    const TagGroup detector = DetectorGroup(s);
    const TagGroup eds = NewTagGroup();
    TagGroupSetTagAsTagGroup(eds, "Acquisition", acquisition);
    TagGroupSetTagAsTagGroup(eds, "Detector info", detector);
    TagGroupSetTagAsDouble(eds, "Count rate", countRate);
    TagGroupSetTagAsDouble(eds, "Live time", s.livetime);
    TagGroupSetTagAsDouble(eds, "Real time", s.realtime);
    TagGroupSetTagAsTagGroup(root, "EDS", eds);
}

void WriteTags(const Image& image, const EMSASpectrum& spectrum, double countRate) {
    const TagGroup root = ImageGetTagGroup(image);
    WriteMicroscopeInfo(root, spectrum);
    WriteEDS(root, spectrum, countRate);
}

}  // namespace

Image ImportEMSASpectrum(String path) {
    const std::string pathText = StringToText(path);
    const std::string name = StringToText(PathExtractBaseName(path, kNameFormat));
    path.Reset();
    EMSASpectrum spectrum;
    std::optional<SpectrumSource> file = ReadHeaderOrReportFailure(pathText, spectrum);

    Image image = CreateReal1DImage(name.c_str(), kRealElementBytes, spectrum.npoints);
    ImageDataLocker locker(image);
    const double countRate = ReadChannelsIntoImage(locker, file ? &*file : nullptr, spectrum);
    file.reset();
    ImageChangeDataType(image, ImageData::REAL4_DATA);
    SetCalibration(image, spectrum);
    WriteTags(image, spectrum, countRate);
    ImageDataChanged(image);
    locker.Unlock();
    return image;
}
