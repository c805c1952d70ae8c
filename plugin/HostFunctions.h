// HostFunctions: one typed call per host script function the module uses, named after
// the host function. The only way the rest of the module calls the host's functions.
//
// Arguments are borrowed: no call takes or gives back a reference on a handle it is
// given. Handle results (returned, or stored in an output handle) own the reference the
// host gave them. Texts (`const char*`) are NUL-terminated 8-bit text; `long` arguments
// are 32-bit. Every call throws dmplugin_exception with the host's Throwable when the host
// reports a failure with a pending exception; a failure without one yields an empty
// handle, zero or false, and leaves outputs untouched.
#ifndef XRAY_PLUGIN_HOSTFUNCTIONS_H
#define XRAY_PLUGIN_HOSTFUNCTIONS_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"
#include "plugin/HostHandles.h"

namespace Gatan {
namespace PlugIn {

// Images. A real image's elements have 4 or 8 bytes.
Image CreateReal1DImage(const char* title, int32_t elementBytes, int32_t width);
Image ImageClone(const Image& image);
void ImageDataChanged(const Image& image);
uint32_t ImageGetDataType(const Image& image);
void ImageChangeDataType(const Image& image, uint32_t dataType);
uint32_t ImageGetDimensionSize(const Image& image, uint32_t dimension);
void ImageGetDimensionCalibration(const Image& image, int32_t dimension, float& origin,
                                  float& scale, String& units, int32_t calibratedOrigin);
void ImageSetDimensionCalibration(const Image& image, int32_t dimension, float origin, float scale,
                                  const String& units, int32_t calibratedOrigin);
String ImageGetIntensityUnitString(const Image& image);
void ImageSetIntensityUnitString(const Image& image, const String& units);
String ImageGetName(const Image& image);
TagGroup ImageGetTagGroup(const Image& image);
bool ImageIsValid(const Image& image);

// Image data. ImageGetLockedData asks for at most 5 dimensions and passes, for each, the
// addresses of the two values the host writes.
constexpr uint32_t kMaxLockedDimensions = 5;
void* ImageLockData(const Image& image, uint32_t lockFlags);
void* ImageGetLockedData(const Image& image, void* lockedData, uint32_t desiredDimensions,
                         uint32_t& actualDimensions, uint32_t& dataType, uint32_t& packStyle,
                         int32_t (*dimensionInfo)[2]);
void ImageUnlockData(const Image& image, void* lockedData, uint32_t unlockFlags);

// Tag groups; paths are colon-separated.
TagGroup NewTagGroup();
TagGroup NewTagList();
void TagGroupCopyTagsFrom(const TagGroup& destination, const TagGroup& source);
TagGroup TagGroupGetOrCreateTagList(const TagGroup& group, const char* path);
bool TagGroupGetTagAsDouble(const TagGroup& group, const char* path, double& value);
bool TagGroupGetTagAsTagGroup(const TagGroup& group, const char* path, TagGroup& value);
void TagGroupInsertTagAsTagGroup(const TagGroup& list, int32_t index, const TagGroup& value);
void TagGroupSetTagAsDouble(const TagGroup& group, const char* path, double value);
void TagGroupSetTagAsLong(const TagGroup& group, const char* path, int32_t value);
void TagGroupSetTagAsString(const TagGroup& group, const char* path, const String& value);
void TagGroupSetTagAsTagGroup(const TagGroup& group, const char* path, const TagGroup& value);

// Texts and the user.
String PathExtractBaseName(const String& path, uint32_t format);
void Result(const String& text);
void ShowAlert(const char* text, int32_t alertKind);

// Custom menus and tools (reached through the callback table only).
int32_t RegisterCustomMenu(int32_t menu);
void UnregisterCustomMenu(int32_t menu);
int32_t RegisterCustomTool(const char* name, int32_t tool);
void UnregisterCustomTool(int32_t tool);

// Script classes and functions.
ScriptClass RegisterClass(const String& name, const String& baseName,
                          DM_CreateObjectEntryPoint create, DM_DestroyObjectEntryPoint destroy,
                          int32_t options);
void UnregisterClass(const String& name);
Function NewCallbackFunction(const String& signature, DM_CellsEntryPoint entry, uint32_t flags);
Function ClassAddMethod(const String& className, const Function& method);
bool ScriptObjectGetClassIndex(DM_Object scriptObject, const String& className, bool create,
                               uint32_t& firstIndex, uint32_t& secondIndex);
bool ScriptObjectGetClassTokenByIndex(DM_Object scriptObject, uint32_t firstIndex,
                                      uint32_t secondIndex, bool create, uint32_t& token);

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTFUNCTIONS_H
