// Host functions on images: creation, cloning, data type, dimensions, calibration, names,
// units and tags.
#include <string>

#include "host/CellFrame.h"
#include "host/ElementData.h"
#include "host/HostFunctions.h"
#include "host/TagTree.h"

namespace dmhost {
namespace {

void CreateReal1DImage(HostState& host, CellFrame& frame) {
    const std::string title = frame.Text(0);
    const int32_t elementSize = frame.Long(1);
    const int32_t count = frame.Long(2);
    if (elementSize != 4 && elementSize != 8) {
        throw HostFailure("CreateReal1DImage: a real element has 4 or 8 bytes, not " +
                          std::to_string(elementSize) + ".");
    }
    if (count <= 0) {
        throw HostFailure("CreateReal1DImage: cannot create an image with " +
                          std::to_string(count) + " elements.");
    }
    const uint32_t dataType = elementSize == 4 ? kReal4Data : kReal8Data;
    ImageObject* image = host.NewImage(title, dataType, {static_cast<uint32_t>(count)});
    frame.ReturnHandle(GiveOut(host, image));
}

void ImageClone(HostState& host, CellFrame& frame) {
    const ImageObject& source = frame.Image(0);
    ImageObject* clone =
        host.NewImage(source.name, source.dataType, source.dimensions, source.data);
    clone->calibrations = source.calibrations;
    clone->intensityUnit = source.intensityUnit;
    CopyTags(host.store(), *clone->tags, *source.tags);
    frame.ReturnHandle(GiveOut(host, clone));
}

void ImageDataChanged(HostState&, CellFrame& frame) {
    ++frame.Image(0).dataChangedCount;
}

void ImageGetDataType(HostState&, CellFrame& frame) {
    frame.ReturnUInt(frame.Image(0).dataType);
}

uint32_t CheckedDimension(const ImageObject& image, int64_t dimension, const char* function) {
    if (dimension < 0 || dimension >= static_cast<int64_t>(image.dimensions.size())) {
        throw HostFailure(std::string(function) + ": the image has no dimension " +
                          std::to_string(dimension) + ".");
    }
    return static_cast<uint32_t>(dimension);
}

void ImageGetDimensionSize(HostState&, CellFrame& frame) {
    const ImageObject& image = frame.Image(0);
    const uint32_t dimension = CheckedDimension(image, frame.UInt(1), "ImageGetDimensionSize");
    frame.ReturnUInt(image.dimensions[dimension]);
}

// The origin is kept exactly as given, whatever the calibrated-origin argument says.
void ImageGetDimensionCalibration(HostState& host, CellFrame& frame) {
    const ImageObject& image = frame.Image(0);
    const uint32_t dimension =
        CheckedDimension(image, frame.Long(1), "ImageGetDimensionCalibration");
    float* origin = frame.Output<float>(2, TypeWord::kFloat);
    float* scale = frame.Output<float>(3, TypeWord::kFloat);
    DM_Object* units = frame.Output<DM_Object>(4, TypeWord::kHandle);
    host.lastGetCalibrationFormat = frame.Long(5);
    const DimensionCalibration& calibration = image.calibrations[dimension];
    *origin = calibration.origin;
    *scale = calibration.scale;
    *units = ToHandle(GiveOut(host, host.NewString(calibration.units)));
}

void ImageSetDimensionCalibration(HostState& host, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    const uint32_t dimension =
        CheckedDimension(image, frame.Long(1), "ImageSetDimensionCalibration");
    DimensionCalibration calibration{frame.Float(2), frame.Float(3), frame.String(4).text};
    host.lastSetCalibrationFormat = frame.Long(5);
    image.calibrations[dimension] = std::move(calibration);
}

void ImageGetIntensityUnitString(HostState& host, CellFrame& frame) {
    frame.ReturnHandle(GiveOut(host, host.NewString(frame.Image(0).intensityUnit)));
}

void ImageSetIntensityUnitString(HostState&, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    image.intensityUnit = frame.String(1).text;
}

void ImageGetName(HostState& host, CellFrame& frame) {
    frame.ReturnHandle(GiveOut(host, host.NewString(frame.Image(0).name)));
}

void ImageGetTagGroup(HostState& host, CellFrame& frame) {
    frame.ReturnHandle(GiveOut(host, frame.Image(0).tags));
}

void ImageIsValid(HostState&, CellFrame& frame) {
    HostObject* object = frame.OptionalHandle(0);
    const auto* image = dynamic_cast<const ImageObject*>(object);
    frame.ReturnBool(image != nullptr && image->valid);
}

// Allowed while the data is locked: the elements may move to another block (always when
// the type widens), so a caller must not touch locked data after changing its type.
void ImageChangeDataType(HostState&, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    const uint32_t dataType = frame.UInt(1);
    if (DataTypeSize(dataType) == 0) {
        throw HostFailure("ImageChangeDataType: data type " + std::to_string(dataType) +
                          " is not supported.");
    }
    ConvertElements(image.data, image.dataType, dataType, image.ElementCount());
    image.dataType = dataType;
}

}  // namespace

std::vector<BuiltinFunction> ImageFunctions() {
    return {
        {"RealImagePtr CreateReal1DImage( string, long, long )", CreateReal1DImage},
        {"ImageRef ImageClone( ImageRef )", ImageClone},
        {"void ImageDataChanged( ImageRef )", ImageDataChanged},
        {"uint32 ImageGetDataType( ImageRef )", ImageGetDataType},
        {"void ImageGetDimensionCalibration( ImageRef, long, float *, float *, dm_string *, "
         "long )",
         ImageGetDimensionCalibration},
        {"uint32 ImageGetDimensionSize( ImageRef, uint32 )", ImageGetDimensionSize},
        {"dm_string ImageGetIntensityUnitString( ImageRef )", ImageGetIntensityUnitString},
        {"dm_string ImageGetName( ImageRef )", ImageGetName},
        {"TagGroup ImageGetTagGroup( ImageRef )", ImageGetTagGroup},
        {"Boolean ImageIsValid( ImageRef )", ImageIsValid},
        {"void ImageSetDimensionCalibration( ImageRef, long, float, float, dm_string, long )",
         ImageSetDimensionCalibration},
        {"void ImageSetIntensityUnitString( ImageRef, dm_string )", ImageSetIntensityUnitString},
        {"void ImageChangeDataType( BasicImage, uint32 )", ImageChangeDataType},
    };
}

}  // namespace dmhost
