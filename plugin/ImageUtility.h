// ImageUtility: scoped access to an image's data while the host has it locked.
//
// An ImageDataLocker locks one image at a time. Constructing it locks the image given
// (nothing when the image is not valid: the data pointer stays null), Lock moves the lock
// to another image (the same object again does nothing), Unlock gives the lock back early
// and destruction gives it back at the end. While locked the locker holds a reference on
// the image, and get_image_data() describes the data: the pointer, the dimension count
// (at most 5), the host's data-type code and, per dimension, the two values the host
// reports. Data of type ImageData::REAL8_DATA is read and written as consecutive doubles;
// after writing, the caller tells the host with ImageDataChanged.
//
// Lock throws: the assertion text (28803) when the host refuses the lock, "Too many
// dimensions." (28802) for an image of more than 5 dimensions (the lock the host granted
// is given back first), and host errors as dmplugin_exception. Unlock throws host errors,
// after giving the lock back even so (a failed unlock is tried once more); the destructor
// swallows them, so a caller who wants to hear of them unlocks explicitly. An image that
// has become invalid is not unlocked in the host. One thread at a time.
#ifndef XRAY_PLUGIN_IMAGEUTILITY_H
#define XRAY_PLUGIN_IMAGEUTILITY_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"
#include "plugin/HostHandles.h"

namespace Gatan {
namespace PlugIn {

struct DimensionValues {
    int32_t first;
    int32_t second;
};

struct ImageData {
    enum : uint32_t { REAL4_DATA = DM_DATA_REAL4, REAL8_DATA = DM_DATA_REAL8 };
    static constexpr uint32_t kMaxDimensions = 5;

    void* get_data() const { return fData; }
    uint32_t get_dimension_count() const { return fDimensionCount; }
    uint32_t get_data_type() const { return fDataType; }
    DimensionValues get_dimension_values(uint32_t dimension) const {
        return fDimensions[dimension];
    }

    void* fData = nullptr;
    uint32_t fDimensionCount = 0;
    uint32_t fDataType = 0;
    DimensionValues fDimensions[kMaxDimensions] = {};
};

// What the host's lock returned, handed back when reading the layout and when unlocking.
// The first word is not used; the second is pointer-sized so that 64-bit builds keep the
// whole pointer.
struct ImageLockRecord {
    uint32_t fUnused = 0;
    void* fLockedData = nullptr;
};

// The callback-table entries behind the locker.
bool lock_image_data(DM_Object image, uint32_t lockFlags, ImageLockRecord& lock);
void get_locked_data(DM_Object image, const ImageLockRecord& lock, ImageData& info);
void unlock_image_data(DM_Object image, const ImageLockRecord& lock, bool modified);

class ImageDataLocker {
  public:
    explicit ImageDataLocker(const Image& image, uint32_t lockFlags = 1);
    ~ImageDataLocker();
    ImageDataLocker(const ImageDataLocker&) = delete;
    ImageDataLocker& operator=(const ImageDataLocker&) = delete;

    void Lock(const Image& image);
    void Unlock();

    bool IsLocked() const { return fLocked; }
    const ImageData& get_image_data() const { return fImageData; }

  private:
    ImageData fImageData;
    Image fImage;
    uint32_t fLockFlags;
    ImageLockRecord fLockData;
    bool fLocked = false;
    bool fModified = false;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_IMAGEUTILITY_H
