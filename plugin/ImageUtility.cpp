#include "plugin/ImageUtility.h"

#include <exception>
#include <utility>

#include "plugin/ErrorManager.h"
#include "plugin/HostFunctions.h"
#include "plugin/PlugInUtility.h"

namespace Gatan {
namespace PlugIn {

namespace {

// The frame's assertion is known by this source name and number, which the message shows to
// script users; it names the assertion, not a line of this file.
constexpr int32_t kLockAssertion = 800;

// The error that ended the lock is the one worth reporting; one from giving back is not.
void GiveBackUnusedLock(const Image& image, const ImageLockRecord& lock) {
    try {
        GetCallbacks().unlock_image_data(image.get(), lock, false);
    } catch (...) {
    }
}

}  // namespace

bool lock_image_data(DM_Object image, uint32_t lockFlags, ImageLockRecord& lock) {
    lock.fLockedData = ImageLockData(Image::FromBorrowed(image), lockFlags);
    return lock.fLockedData != nullptr;
}

void get_locked_data(DM_Object image, const ImageLockRecord& lock, ImageData& info) {
    uint32_t actual = ImageData::kMaxDimensions;
    uint32_t dataType = 0;
    uint32_t packStyle = 0;
    int32_t dimensions[ImageData::kMaxDimensions][2] = {};
    void* data =
        ImageGetLockedData(Image::FromBorrowed(image), lock.fLockedData, ImageData::kMaxDimensions,
                           actual, dataType, packStyle, dimensions);
    if (actual > ImageData::kMaxDimensions)
        RaiseErrorText("Too many dimensions.");
    info.fData = data;
    info.fDimensionCount = actual;
    info.fDataType = dataType;
    for (uint32_t d = 0; d < actual; ++d) {
        info.fDimensions[d] = DimensionValues{dimensions[d][0], dimensions[d][1]};
    }
}

// The lock must not outlive its locker: when the host fails the validity check, the lock
// is given back all the same, and a failed unlock is tried once more. The first failure is
// passed on afterwards, so the caller still learns of it.
void unlock_image_data(DM_Object image, const ImageLockRecord& lock, bool modified) {
    std::exception_ptr firstFailure;
    bool valid = true;
    try {
        valid = ImageIsValid(Image::FromBorrowed(image));
    } catch (...) {
        firstFailure = std::current_exception();
    }
    for (int attempt = 0; valid && attempt < 2; ++attempt) {
        try {
            ImageUnlockData(Image::FromBorrowed(image), lock.fLockedData, modified ? 1 : 0);
            break;
        } catch (...) {
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    }
    if (firstFailure)
        std::rethrow_exception(firstFailure);
}

ImageDataLocker::ImageDataLocker(const Image& image, uint32_t lockFlags) : fLockFlags(lockFlags) {
    Lock(image);
}

ImageDataLocker::~ImageDataLocker() {
    try {
        Unlock();
    } catch (...) {
        // A destructor must not throw; the host keeps its own record of the lock.
    }
}

void ImageDataLocker::Lock(const Image& image) {
    if (fImage.IsSameObject(image.get()))
        return;
    Unlock();
    if (!image.IsValid())
        return;
    const PlugInCallbacks& callbacks = GetCallbacks();
    if (!callbacks.lock_image_data(image.get(), fLockFlags, fLockData)) {
        AssertionFailed("ImageUtility", kLockAssertion,
                        "(*PlugInMain::GetCallbacks().lock_image_data)( image.get(), fLockFlags, "
                        "fLockData )",
                        1);
    }
    try {
        callbacks.get_locked_data(image.get(), fLockData, fImageData);
    } catch (...) {
        // Nobody would ever give this lock back: the locker is not marked locked.
        fImageData = ImageData();
        GiveBackUnusedLock(image, fLockData);
        throw;
    }
    fImage = image;
    fLocked = true;
    fModified = false;
}

void ImageDataLocker::Unlock() {
    if (!fLocked)
        return;
    fLocked = false;
    bool modified = fModified;
    fModified = false;
    Image held = std::move(fImage);
    fImageData = ImageData();
    GetCallbacks().unlock_image_data(held.get(), fLockData, modified);
}

}  // namespace PlugIn
}  // namespace Gatan
