// The image-data locker: what it locks and unlocks in the host, and its failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/GatanException.h"
#include "plugin/HostFunctions.h"
#include "plugin/ImageUtility.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;

class ImageDataLockerTest : public FrameTest {
  protected:
    Image MakeSpectrum(std::vector<double> values, std::vector<uint32_t> dimensions = {}) {
        dmhost::ImageSpec spec;
        spec.name = "spectrum";
        spec.dataType = dmhost::kReal8Data;
        spec.dimensions = std::move(dimensions);
        spec.values = std::move(values);
        return MakeImage(spec);
    }
};

TEST_F(ImageDataLockerTest, LocksDataAndDescribesItsLayout) {
    Image image = MakeSpectrum({1, 2, 3, 4, 5, 6}, {3, 2});
    {
        ImageDataLocker locker(image);
        ASSERT_TRUE(locker.IsLocked());
        EXPECT_EQ(fHost.LockCount(image.get()), 1);
        EXPECT_EQ(fHost.ReferenceCount(image.get()), 2) << "the locker holds the image";
        const ImageData& data = locker.get_image_data();
        EXPECT_EQ(data.get_data_type(), ImageData::REAL8_DATA);
        ASSERT_EQ(data.get_dimension_count(), 2u);
        EXPECT_EQ(data.get_dimension_values(0).first, 3);
        EXPECT_EQ(data.get_dimension_values(1).first, 2);
        double* values = static_cast<double*>(data.get_data());
        EXPECT_EQ(values[5], 6.0);
        values[0] = 10.0;
        ImageDataChanged(image);
    }
    EXPECT_EQ(fHost.LockCount(image.get()), 0);
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1);
    EXPECT_EQ(fHost.ReadImage(image.get()).values[0], 10.0);
    EXPECT_EQ(fHost.CallCount("ImageUnlockData"), 1);
}

TEST_F(ImageDataLockerTest, SameImageTwiceLocksOnce) {
    Image image = MakeSpectrum({1, 2});
    ImageDataLocker locker(image);
    Image same = image;
    locker.Lock(same);
    EXPECT_EQ(fHost.CallCount("ImageLockData"), 1);
    EXPECT_EQ(fHost.LockCount(image.get()), 1);
    EXPECT_EQ(fHost.CallCount("ImageUnlockData"), 0);
}

TEST_F(ImageDataLockerTest, SecondImageUnlocksTheFirst) {
    Image first = MakeSpectrum({1, 2});
    Image second = MakeSpectrum({3, 4, 5});
    ImageDataLocker locker(first);
    locker.Lock(second);
    EXPECT_EQ(fHost.LockCount(first.get()), 0);
    EXPECT_EQ(fHost.LockCount(second.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(first.get()), 1) << "the first image is no longer held";
    EXPECT_EQ(static_cast<double*>(locker.get_image_data().get_data())[2], 5.0);

    locker.Unlock();
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_EQ(locker.get_image_data().get_data(), nullptr);
    EXPECT_EQ(fHost.LockCount(second.get()), 0);
    locker.Lock(second);
    EXPECT_EQ(fHost.LockCount(second.get()), 1) << "after Unlock the same image locks again";
}

TEST_F(ImageDataLockerTest, ImageInvalidBeforeUnlockGetsNoUnlockCall) {
    Image image = MakeSpectrum({1, 2});
    {
        ImageDataLocker locker(image);
        fHost.InvalidateImage(image.get());
    }
    EXPECT_EQ(fHost.CallCount("ImageUnlockData"), 0);
    EXPECT_EQ(fHost.CallCount("ImageIsValid"), 1);
}

TEST_F(ImageDataLockerTest, InvalidImageIsNotLocked) {
    Image image = MakeSpectrum({1, 2});
    fHost.InvalidateImage(image.get());
    ImageDataLocker locker(image);
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_EQ(locker.get_image_data().get_data(), nullptr);
    EXPECT_EQ(fHost.CallCount("ImageLockData"), 0);

    ImageDataLocker empty{Image()};
    EXPECT_FALSE(empty.IsLocked());
}

TEST_F(ImageDataLockerTest, SixDimensionsRaiseAndGiveTheLockBack) {
    Image image = MakeSpectrum({1, 2});
    fHost.ReportDimensionCount(image.get(), 6);
    try {
        ImageDataLocker locker(image);
        ADD_FAILURE() << "no exception";
    } catch (const Gatan::std_gatan_exception& error) {
        EXPECT_STREQ(error.what(), "Too many dimensions.");
        EXPECT_EQ(error.GetErrorCodes().code, 28802);
    }
    EXPECT_EQ(fHost.LockCount(image.get()), 0);
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1);
}

TEST_F(ImageDataLockerTest, RefusedLockRaisesTheAssertion) {
    Image image = MakeSpectrum({1, 2});
    fHost.RefuseNextLock();
    try {
        ImageDataLocker locker(image);
        ADD_FAILURE() << "no exception";
    } catch (const Gatan::std_gatan_exception& error) {
        EXPECT_STREQ(error.what(),
                     "File \"ImageUtility\", Line 800: Assertion "
                     "\"(*PlugInMain::GetCallbacks().lock_image_data)( image.get(), fLockFlags, "
                     "fLockData )\" Failed!");
        EXPECT_EQ(error.GetErrorCodes().code, 28803);
    }
    EXPECT_EQ(fHost.CallCount("ImageUnlockData"), 0);
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1);
}

}  // namespace
