#include "plugin/HostFunctions.h"

#include "plugin/ArgumentCells.h"
#include "plugin/ErrorManager.h"
#include "plugin/HostCall.h"

namespace Gatan {
namespace PlugIn {
namespace {

// A host function: its signature text and the slot caching its handle. Plain data, so
// every one exists before any module-level constructor could call it.
struct HostFunction {
    const char* signature;
    HostFunctionSlot slot;
};

template <int32_t kCells>
void Call(HostFunction& function, ArgumentCell (&cells)[kCells]) {
    CallHostFunction(function.slot, kCells, cells, function.signature);
}

template <typename Handle>
Handle TakeHandle(const ArgumentCell& cell) {
    return Handle::TakeOver(GetCell<DM_Object>(cell));
}

uint32_t Truth(bool value) {
    return value ? 1 : 0;
}

// Entry points travel as plain pointers.
template <typename EntryPoint>
void PutEntryPoint(ArgumentCell& cell, EntryPoint entry) {
    static_assert(sizeof(EntryPoint) == sizeof(void*), "an entry point fits a pointer cell");
    PutCell(cell, entry);
}

HostFunction sClassAddMethod = {"Function ClassAddMethod( dm_string, Function )", {}};
HostFunction sCreateReal1DImage = {"RealImagePtr CreateReal1DImage( string, long, long )", {}};
HostFunction sImageClone = {"ImageRef ImageClone( ImageRef )", {}};
HostFunction sImageDataChanged = {"void ImageDataChanged( ImageRef )", {}};
HostFunction sImageGetDataType = {"uint32 ImageGetDataType( ImageRef )", {}};
HostFunction sImageGetDimensionCalibration = {
    "void ImageGetDimensionCalibration( ImageRef, long, float *, float *, dm_string *, long )", {}};
HostFunction sImageGetDimensionSize = {"uint32 ImageGetDimensionSize( ImageRef, uint32 )", {}};
HostFunction sImageGetIntensityUnitString = {"dm_string ImageGetIntensityUnitString( ImageRef )",
                                             {}};
HostFunction sImageGetName = {"dm_string ImageGetName( ImageRef )", {}};
HostFunction sImageGetTagGroup = {"TagGroup ImageGetTagGroup( ImageRef )", {}};
HostFunction sImageIsValid = {"Boolean ImageIsValid( ImageRef )", {}};
HostFunction sImageSetDimensionCalibration = {
    "void ImageSetDimensionCalibration( ImageRef, long, float, float, dm_string, long )", {}};
HostFunction sImageSetIntensityUnitString = {
    "void ImageSetIntensityUnitString( ImageRef, dm_string )", {}};
HostFunction sNewCallbackFunction = {"Function NewCallbackFunction( dm_string, void *, uint32 )",
                                     {}};
HostFunction sNewTagGroup = {"TagGroup NewTagGroup(  )", {}};
HostFunction sNewTagList = {"TagGroup NewTagList(  )", {}};
HostFunction sPathExtractBaseName = {"dm_string PathExtractBaseName( dm_string, ulong )", {}};
HostFunction sRegisterCustomMenu = {"long RegisterCustomMenu( long )", {}};
HostFunction sRegisterCustomTool = {"long RegisterCustomTool( string, long )", {}};
HostFunction sResult = {"void Result( dm_string )", {}};
HostFunction sShowAlert = {"void ShowAlert( string, long )", {}};
HostFunction sTagGroupCopyTagsFrom = {"void TagGroupCopyTagsFrom( TagGroup, TagGroup )", {}};
HostFunction sTagGroupGetOrCreateTagList = {
    "TagGroup TagGroupGetOrCreateTagList( TagGroup, string )", {}};
HostFunction sTagGroupGetTagAsDouble = {
    "Boolean TagGroupGetTagAsDouble( TagGroup, string, double * )", {}};
HostFunction sTagGroupGetTagAsTagGroup = {
    "Boolean TagGroupGetTagAsTagGroup( TagGroup, string, TagGroup * )", {}};
HostFunction sTagGroupInsertTagAsTagGroup = {
    "void TagGroupInsertTagAsTagGroup( TagGroup, long, TagGroup )", {}};
HostFunction sTagGroupSetTagAsDouble = {"void TagGroupSetTagAsDouble( TagGroup, string, double )",
                                        {}};
HostFunction sTagGroupSetTagAsLong = {"void TagGroupSetTagAsLong( TagGroup, string, long )", {}};
HostFunction sTagGroupSetTagAsString = {
    "void TagGroupSetTagAsString( TagGroup, string, dm_string )", {}};
HostFunction sTagGroupSetTagAsTagGroup = {
    "void TagGroupSetTagAsTagGroup( TagGroup, string, TagGroup )", {}};
HostFunction sUnregisterCustomMenu = {"void UnregisterCustomMenu( long )", {}};
HostFunction sUnregisterCustomTool = {"void UnregisterCustomTool( long )", {}};
HostFunction sImageChangeDataType = {"void ImageChangeDataType( BasicImage, uint32 )", {}};
HostFunction sImageLockData = {"void *ImageLockData( Image *im, uint32 lock_flags )", {}};
HostFunction sImageGetLockedData = {
    "void *ImageGetLockedData( Image *im, void *locked_data, uint32 des_num_dim, uint32 "
    "*act_num_dim, uint32 *data_type, uint32 *pack_style, long *dimension_info... )",
    {}};
HostFunction sImageUnlockData = {
    "void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )", {}};
HostFunction sScriptObjectGetClassIndex = {
    "bool ScriptObjectGetClassIndex( ScriptObject, dm_string, bool, ulong *, ulong * )", {}};
HostFunction sScriptObjectGetClassTokenByIndex = {
    "bool ScriptObjectGetClassTokenByIndex( ScriptObject, ulong, ulong, bool, ulong * )", {}};
HostFunction sRegisterClass = {
    "ScriptClass RegisterClass( dm_string, dm_string, void *, void *, long )", {}};
HostFunction sUnregisterClass = {"void UnregisterClass( dm_string )", {}};

// A call whose only argument is an image and whose result is a handle.
template <typename Handle>
Handle ImageToHandle(HostFunction& function, const Image& image) {
    ArgumentCell cells[2] = {};
    PutCell(cells[1], image.get());
    Call(function, cells);
    return TakeHandle<Handle>(cells[0]);
}

template <typename Handle>
Handle NoArgumentToHandle(HostFunction& function) {
    ArgumentCell cells[1] = {};
    Call(function, cells);
    return TakeHandle<Handle>(cells[0]);
}

// A void call on a tag group, a path and one value.
template <typename Value>
void SetTag(HostFunction& function, const TagGroup& group, const char* path, Value value) {
    ArgumentCell cells[3] = {};
    PutCell(cells[0], group.get());
    PutCell(cells[1], path);
    PutCell(cells[2], value);
    Call(function, cells);
}

void CallWithInt(HostFunction& function, int32_t value) {
    ArgumentCell cells[1] = {};
    PutCell(cells[0], value);
    Call(function, cells);
}

}  // namespace

Image CreateReal1DImage(const char* title, int32_t elementBytes, int32_t width) {
    ArgumentCell cells[4] = {};
    PutCell(cells[1], title);
    PutCell(cells[2], elementBytes);
    PutCell(cells[3], width);
    Call(sCreateReal1DImage, cells);
    return TakeHandle<Image>(cells[0]);
}

Image ImageClone(const Image& image) {
    return ImageToHandle<Image>(sImageClone, image);
}

void ImageDataChanged(const Image& image) {
    ArgumentCell cells[1] = {};
    PutCell(cells[0], image.get());
    Call(sImageDataChanged, cells);
}

uint32_t ImageGetDataType(const Image& image) {
    ArgumentCell cells[2] = {};
    PutCell(cells[1], image.get());
    Call(sImageGetDataType, cells);
    return GetCell<uint32_t>(cells[0]);
}

void ImageChangeDataType(const Image& image, uint32_t dataType) {
    ArgumentCell cells[2] = {};
    PutCell(cells[0], image.get());
    PutCell(cells[1], dataType);
    Call(sImageChangeDataType, cells);
}

uint32_t ImageGetDimensionSize(const Image& image, uint32_t dimension) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], image.get());
    PutCell(cells[2], dimension);
    Call(sImageGetDimensionSize, cells);
    return GetCell<uint32_t>(cells[0]);
}

void ImageGetDimensionCalibration(const Image& image, int32_t dimension, float& origin,
                                  float& scale, String& units, int32_t calibratedOrigin) {
    OutputObject<String> unitsOut;
    ArgumentCell cells[6] = {};
    PutCell(cells[0], image.get());
    PutCell(cells[1], dimension);
    PutCell(cells[2], &origin);
    PutCell(cells[3], &scale);
    PutCell(cells[4], unitsOut.address());
    PutCell(cells[5], calibratedOrigin);
    Call(sImageGetDimensionCalibration, cells);
    units = unitsOut.Take();
}

void ImageSetDimensionCalibration(const Image& image, int32_t dimension, float origin, float scale,
                                  const String& units, int32_t calibratedOrigin) {
    ArgumentCell cells[6] = {};
    PutCell(cells[0], image.get());
    PutCell(cells[1], dimension);
    PutCell(cells[2], origin);
    PutCell(cells[3], scale);
    PutCell(cells[4], units.get());
    PutCell(cells[5], calibratedOrigin);
    Call(sImageSetDimensionCalibration, cells);
}

String ImageGetIntensityUnitString(const Image& image) {
    return ImageToHandle<String>(sImageGetIntensityUnitString, image);
}

void ImageSetIntensityUnitString(const Image& image, const String& units) {
    ArgumentCell cells[2] = {};
    PutCell(cells[0], image.get());
    PutCell(cells[1], units.get());
    Call(sImageSetIntensityUnitString, cells);
}

String ImageGetName(const Image& image) {
    return ImageToHandle<String>(sImageGetName, image);
}

TagGroup ImageGetTagGroup(const Image& image) {
    return ImageToHandle<TagGroup>(sImageGetTagGroup, image);
}

bool ImageIsValid(const Image& image) {
    ArgumentCell cells[2] = {};
    PutCell(cells[1], image.get());
    Call(sImageIsValid, cells);
    return GetCellTruth(cells[0]);
}

void* ImageLockData(const Image& image, uint32_t lockFlags) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], image.get());
    PutCell(cells[2], lockFlags);
    Call(sImageLockData, cells);
    return GetCell<void*>(cells[0]);
}

void* ImageGetLockedData(const Image& image, void* lockedData, uint32_t desiredDimensions,
                         uint32_t& actualDimensions, uint32_t& dataType, uint32_t& packStyle,
                         int32_t (*dimensionInfo)[2]) {
    if (desiredDimensions > kMaxLockedDimensions)
        RaiseErrorText("Too many dimensions.");
    ArgumentCell cells[7 + 2 * kMaxLockedDimensions] = {};
    PutCell(cells[1], image.get());
    PutCell(cells[2], lockedData);
    PutCell(cells[3], desiredDimensions);
    PutCell(cells[4], &actualDimensions);
    PutCell(cells[5], &dataType);
    PutCell(cells[6], &packStyle);
    for (uint32_t d = 0; d < desiredDimensions; ++d) {
        PutCell(cells[7 + 2 * d], &dimensionInfo[d][0]);
        PutCell(cells[8 + 2 * d], &dimensionInfo[d][1]);
    }
    CallHostFunction(sImageGetLockedData.slot, static_cast<int32_t>(7 + 2 * desiredDimensions),
                     cells, sImageGetLockedData.signature);
    return GetCell<void*>(cells[0]);
}

void ImageUnlockData(const Image& image, void* lockedData, uint32_t unlockFlags) {
    ArgumentCell cells[3] = {};
    PutCell(cells[0], image.get());
    PutCell(cells[1], lockedData);
    PutCell(cells[2], unlockFlags);
    Call(sImageUnlockData, cells);
}

TagGroup NewTagGroup() {
    return NoArgumentToHandle<TagGroup>(sNewTagGroup);
}
TagGroup NewTagList() {
    return NoArgumentToHandle<TagGroup>(sNewTagList);
}

void TagGroupCopyTagsFrom(const TagGroup& destination, const TagGroup& source) {
    ArgumentCell cells[2] = {};
    PutCell(cells[0], destination.get());
    PutCell(cells[1], source.get());
    Call(sTagGroupCopyTagsFrom, cells);
}

TagGroup TagGroupGetOrCreateTagList(const TagGroup& group, const char* path) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], group.get());
    PutCell(cells[2], path);
    Call(sTagGroupGetOrCreateTagList, cells);
    return TakeHandle<TagGroup>(cells[0]);
}

bool TagGroupGetTagAsDouble(const TagGroup& group, const char* path, double& value) {
    ArgumentCell cells[4] = {};
    PutCell(cells[1], group.get());
    PutCell(cells[2], path);
    PutCell(cells[3], &value);
    Call(sTagGroupGetTagAsDouble, cells);
    return GetCellTruth(cells[0]);
}

bool TagGroupGetTagAsTagGroup(const TagGroup& group, const char* path, TagGroup& value) {
    OutputObject<TagGroup> found;
    ArgumentCell cells[4] = {};
    PutCell(cells[1], group.get());
    PutCell(cells[2], path);
    PutCell(cells[3], found.address());
    Call(sTagGroupGetTagAsTagGroup, cells);
    bool result = GetCellTruth(cells[0]);
    if (result)
        value = found.Take();
    return result;
}

void TagGroupInsertTagAsTagGroup(const TagGroup& list, int32_t index, const TagGroup& value) {
    ArgumentCell cells[3] = {};
    PutCell(cells[0], list.get());
    PutCell(cells[1], index);
    PutCell(cells[2], value.get());
    Call(sTagGroupInsertTagAsTagGroup, cells);
}

void TagGroupSetTagAsDouble(const TagGroup& group, const char* path, double value) {
    SetTag(sTagGroupSetTagAsDouble, group, path, value);
}

void TagGroupSetTagAsLong(const TagGroup& group, const char* path, int32_t value) {
    SetTag(sTagGroupSetTagAsLong, group, path, value);
}

void TagGroupSetTagAsString(const TagGroup& group, const char* path, const String& value) {
    SetTag(sTagGroupSetTagAsString, group, path, value.get());
}

void TagGroupSetTagAsTagGroup(const TagGroup& group, const char* path, const TagGroup& value) {
    SetTag(sTagGroupSetTagAsTagGroup, group, path, value.get());
}

String PathExtractBaseName(const String& path, uint32_t format) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], path.get());
    PutCell(cells[2], format);
    Call(sPathExtractBaseName, cells);
    return TakeHandle<String>(cells[0]);
}

void Result(const String& text) {
    ArgumentCell cells[1] = {};
    PutCell(cells[0], text.get());
    Call(sResult, cells);
}

void ShowAlert(const char* text, int32_t alertKind) {
    ArgumentCell cells[2] = {};
    PutCell(cells[0], text);
    PutCell(cells[1], alertKind);
    Call(sShowAlert, cells);
}

int32_t RegisterCustomMenu(int32_t menu) {
    ArgumentCell cells[2] = {};
    PutCell(cells[1], menu);
    Call(sRegisterCustomMenu, cells);
    return GetCell<int32_t>(cells[0]);
}

void UnregisterCustomMenu(int32_t menu) {
    CallWithInt(sUnregisterCustomMenu, menu);
}

int32_t RegisterCustomTool(const char* name, int32_t tool) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], name);
    PutCell(cells[2], tool);
    Call(sRegisterCustomTool, cells);
    return GetCell<int32_t>(cells[0]);
}

void UnregisterCustomTool(int32_t tool) {
    CallWithInt(sUnregisterCustomTool, tool);
}

ScriptClass RegisterClass(const String& name, const String& baseName,
                          DM_CreateObjectEntryPoint create, DM_DestroyObjectEntryPoint destroy,
                          int32_t options) {
    ArgumentCell cells[6] = {};
    PutCell(cells[1], name.get());
    PutCell(cells[2], baseName.get());
    PutEntryPoint(cells[3], create);
    PutEntryPoint(cells[4], destroy);
    PutCell(cells[5], options);
    Call(sRegisterClass, cells);
    return TakeHandle<ScriptClass>(cells[0]);
}

void UnregisterClass(const String& name) {
    ArgumentCell cells[1] = {};
    PutCell(cells[0], name.get());
    Call(sUnregisterClass, cells);
}

Function NewCallbackFunction(const String& signature, DM_CellsEntryPoint entry, uint32_t flags) {
    ArgumentCell cells[4] = {};
    PutCell(cells[1], signature.get());
    PutEntryPoint(cells[2], entry);
    PutCell(cells[3], flags);
    Call(sNewCallbackFunction, cells);
    return TakeHandle<Function>(cells[0]);
}

Function ClassAddMethod(const String& className, const Function& method) {
    ArgumentCell cells[3] = {};
    PutCell(cells[1], className.get());
    PutCell(cells[2], method.get());
    Call(sClassAddMethod, cells);
    return TakeHandle<Function>(cells[0]);
}

bool ScriptObjectGetClassIndex(DM_Object scriptObject, const String& className, bool create,
                               uint32_t& firstIndex, uint32_t& secondIndex) {
    ArgumentCell cells[6] = {};
    PutCell(cells[1], scriptObject);
    PutCell(cells[2], className.get());
    PutCell(cells[3], Truth(create));
    PutCell(cells[4], &firstIndex);
    PutCell(cells[5], &secondIndex);
    Call(sScriptObjectGetClassIndex, cells);
    return GetCellTruth(cells[0]);
}

bool ScriptObjectGetClassTokenByIndex(DM_Object scriptObject, uint32_t firstIndex,
                                      uint32_t secondIndex, bool create, uint32_t& token) {
    ArgumentCell cells[6] = {};
    PutCell(cells[1], scriptObject);
    PutCell(cells[2], firstIndex);
    PutCell(cells[3], secondIndex);
    PutCell(cells[4], Truth(create));
    PutCell(cells[5], &token);
    Call(sScriptObjectGetClassTokenByIndex, cells);
    return GetCellTruth(cells[0]);
}

}  // namespace PlugIn
}  // namespace Gatan
