// Host functions that give access to an image's elements: lock, get the locked layout,
// unlock. The lock pointer is the address of the host's lock record; the layout is written
// as (element count, stride in elements) per dimension, dimension 0 varying fastest.
#include <string>

#include "host/CellFrame.h"
#include "host/HostFunctions.h"

namespace dmhost {
namespace {

// Fixed arguments of ImageGetLockedData before the dimension pairs.
constexpr int32_t kLockedDataFixedArguments = 6;

void ImageLockData(HostState& host, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    frame.UInt(1);  // the lock flags; every lock gives read and write access here
    if (host.refuseNextLock) {
        host.refuseNextLock = false;
        frame.ReturnPointer(nullptr);
        return;
    }
    frame.ReturnPointer(host.Lock(image));
}

void WriteDimensionPairs(const ImageObject& image, CellFrame& frame, uint32_t pairs) {
    int32_t stride = 1;
    for (uint32_t d = 0; d < pairs; ++d) {
        const int32_t argument = kLockedDataFixedArguments + 2 * static_cast<int32_t>(d);
        int32_t* size = frame.Output<int32_t>(argument, TypeWord::kInt32);
        int32_t* step = frame.Output<int32_t>(argument + 1, TypeWord::kInt32);
        *size = static_cast<int32_t>(image.dimensions[d]);
        *step = stride;
        stride *= static_cast<int32_t>(image.dimensions[d]);
    }
}

void ImageGetLockedData(HostState& host, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    host.FindLock(frame.Pointer(1), image);
    const uint32_t wanted = frame.UInt(2);
    if (frame.ArgumentCount() != kLockedDataFixedArguments + 2 * static_cast<int64_t>(wanted)) {
        throw HostFailure("ImageGetLockedData: " + std::to_string(wanted) + " dimensions need " +
                          std::to_string(2 * wanted) + " dimension pointers.");
    }
    uint32_t* actual = frame.Output<uint32_t>(3, TypeWord::kUInt32);
    uint32_t* dataType = frame.Output<uint32_t>(4, TypeWord::kUInt32);
    uint32_t* packStyle = frame.Output<uint32_t>(5, TypeWord::kUInt32);
    const auto real = static_cast<uint32_t>(image.dimensions.size());
    *actual = image.reportedDimensions != 0 ? image.reportedDimensions : real;
    *dataType = image.dataType;
    *packStyle = 0;
    WriteDimensionPairs(image, frame, std::min(wanted, real));
    frame.ReturnPointer(image.data.data());
    if (image.invalidateWhenLocked) {
        image.invalidateWhenLocked = false;
        image.valid = false;
        host.DropLocksOf(image);
    }
}

void ImageUnlockData(HostState& host, CellFrame& frame) {
    ImageObject& image = frame.Image(0);
    void* lock = frame.Pointer(1);
    host.FindLock(lock, image);
    frame.UInt(2);  // the unlock flags; data is always written in place
    host.Unlock(lock);
}

}  // namespace

std::vector<BuiltinFunction> ImageDataFunctions() {
    return {
        {"void *ImageLockData( Image *im, uint32 lock_flags )", ImageLockData},
        {"void *ImageGetLockedData( Image *im, void *locked_data, uint32 des_num_dim, uint32 "
         "*act_num_dim, uint32 *data_type, uint32 *pack_style, long *dimension_info... )",
         ImageGetLockedData},
        {"void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )",
         ImageUnlockData},
    };
}

}  // namespace dmhost
