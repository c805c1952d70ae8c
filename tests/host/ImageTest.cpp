// Images through the host functions: creation, cloning, calibration, data types, data
// locks and base names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

class ImageTest : public HostTest {
  protected:
    int32_t Create(const char* name, int32_t elementSize, int32_t count, DM_Object* image) {
        auto cells = Cells(4);
        cells[1].text = name;
        cells[2].i32 = elementSize;
        cells[3].i32 = count;
        const int32_t status = Call("RealImagePtr CreateReal1DImage( string, long, long )", cells);
        *image = cells[0].object;
        return status;
    }
    int32_t ChangeType(DM_Object image, uint32_t type) {
        auto cells = Cells(2);
        cells[0].object = image;
        cells[1].u32 = type;
        return Call("void ImageChangeDataType( BasicImage, uint32 )", cells);
    }
    void* Lock(DM_Object image) {
        auto cells = Cells(3);
        cells[1].object = image;
        cells[2].u32 = 1;
        EXPECT_EQ(Call("void *ImageLockData( Image *im, uint32 lock_flags )", cells), DM_CALL_OK);
        return cells[0].pointer;
    }
    struct Layout {
        int32_t status = 0;
        void* data = nullptr;
        uint32_t dimensions = 5, type = 0, pack = 0;
        int32_t pairs[5][2] = {};
    };
    Layout GetLocked(DM_Object image, void* lock) {
        Layout layout;
        auto cells = Cells(17);
        cells[1].object = image;
        cells[2].pointer = lock;
        cells[3].u32 = 5;
        cells[4].pointer = &layout.dimensions;
        cells[5].pointer = &layout.type;
        cells[6].pointer = &layout.pack;
        for (int d = 0; d < 5; ++d) {
            cells[7 + 2 * d].pointer = &layout.pairs[d][0];
            cells[8 + 2 * d].pointer = &layout.pairs[d][1];
        }
        layout.status = Call(
            "void *ImageGetLockedData( Image *im, void *locked_data, uint32 "
            "des_num_dim, uint32 *act_num_dim, uint32 *data_type, uint32 "
            "*pack_style, long *dimension_info... )",
            cells);
        layout.data = cells[0].pointer;
        return layout;
    }
    int32_t Unlock(DM_Object image, void* lock) {
        auto cells = Cells(3);
        cells[0].object = image;
        cells[1].pointer = lock;
        return Call("void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )",
                    cells);
    }
};

TEST_F(ImageTest, CreateReal1DImageTakesTheElementSizeAsTheRealType) {
    DM_Object raw = nullptr;
    ASSERT_EQ(Create("Spectrum", 8, 2048, &raw), DM_CALL_OK);
    auto wide = Own(raw);
    const auto snapshot = fHost.ReadImage(wide.get());
    EXPECT_EQ(snapshot.name, "Spectrum");
    EXPECT_EQ(snapshot.dataType, dmhost::kReal8Data);
    EXPECT_EQ(snapshot.dimensions, std::vector<uint32_t>{2048});
    EXPECT_EQ(snapshot.values, std::vector<double>(2048, 0.0));
    EXPECT_EQ(fHost.ReferenceCount(raw), 1);

    ASSERT_EQ(Create("Narrow", 4, 3, &raw), DM_CALL_OK);
    auto narrow = Own(raw);
    EXPECT_EQ(fHost.ReadImage(narrow.get()).dataType, dmhost::kReal4Data);
}

TEST_F(ImageTest, AnImageWithoutElementsIsRefusedWithAMessage) {
    DM_Object raw = reinterpret_cast<DM_Object>(0);
    EXPECT_EQ(Create("Empty", 8, 0, &raw), 1);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "CreateReal1DImage: cannot create an image with 0 elements.");
    EXPECT_EQ(Create("Odd", 3, 10, &raw), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "CreateReal1DImage: a real element has 4 or 8 bytes, not 3.");
    fHost.ClearPendingException();
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

TEST_F(ImageTest, CalibrationIsStoredAsGivenWhateverTheOriginForm) {
    auto image = Image1D({1, 2, 3});
    auto units = fHost.MakeString("keV");
    auto cells = Cells(6);
    cells[0].object = image.get();
    cells[2].f32 = -0.2f;
    cells[3].f32 = 0.01f;
    cells[4].object = units.get();
    cells[5].i32 = 1;
    ASSERT_EQ(Call("void ImageSetDimensionCalibration( ImageRef, long, float, float, dm_string, "
                   "long )",
                   cells),
              DM_CALL_OK);
    EXPECT_EQ(fHost.LastSetCalibrationFormat(), 1);
    EXPECT_FALSE(fHost.LastGetCalibrationFormat().has_value());

    float origin = 0, scale = 0;
    DM_Object readUnits = nullptr;
    cells = Cells(6);
    cells[0].object = image.get();
    cells[2].pointer = &origin;
    cells[3].pointer = &scale;
    cells[4].pointer = &readUnits;
    cells[5].i32 = 0;
    ASSERT_EQ(Call("void ImageGetDimensionCalibration( ImageRef, long, float *, float *, "
                   "dm_string *, long )",
                   cells),
              DM_CALL_OK);
    auto owned = Own(readUnits);
    EXPECT_EQ(origin, -0.2f) << "read with the other form, the origin is unchanged";
    EXPECT_EQ(scale, 0.01f);
    EXPECT_EQ(fHost.ReadText(readUnits), "keV");
    EXPECT_EQ(fHost.LastGetCalibrationFormat(), 0);
    EXPECT_EQ(fHost.ReadImage(image.get()).calibrations[0].units, "keV");

    cells = Cells(6);
    cells[0].object = image.get();
    cells[1].i32 = 1;  // a 1-D image has no dimension 1
    cells[4].object = units.get();
    EXPECT_EQ(Call("void ImageSetDimensionCalibration( ImageRef, long, float, float, dm_string, "
                   "long )",
                   cells),
              1);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "ImageSetDimensionCalibration: the image has no dimension 1.");
    fHost.ClearPendingException();
}

TEST_F(ImageTest, ChangingTheDataTypeConvertsEveryValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto image = Image1D({0.1, 2.5, -2.5, 40000.0, -1.0, nan, 1.0 / 3.0});
    ASSERT_EQ(ChangeType(image.get(), dmhost::kReal4Data), DM_CALL_OK);
    auto values = fHost.ReadImage(image.get()).values;
    EXPECT_EQ(values[0], static_cast<double>(0.1f)) << "rounded to a 4-byte real";
    EXPECT_EQ(values[6], static_cast<double>(1.0f / 3.0f));

    ASSERT_EQ(ChangeType(image.get(), dmhost::kInt16Data), DM_CALL_OK);
    values = fHost.ReadImage(image.get()).values;
    EXPECT_EQ(values, (std::vector<double>{0, 3, -3, 32767, -1, 0, 0}))
        << "half away from zero, clamped, not-a-number to 0";

    ASSERT_EQ(ChangeType(image.get(), dmhost::kUInt8Data), DM_CALL_OK);
    EXPECT_EQ(fHost.ReadImage(image.get()).values, (std::vector<double>{0, 3, 0, 255, 0, 0, 0}));
    for (uint32_t type : {1u, 2u, 6u, 7u, 9u, 10u, 11u, 12u}) {
        EXPECT_EQ(ChangeType(image.get(), type), DM_CALL_OK) << type;
        EXPECT_EQ(fHost.ReadImage(image.get()).dataType, type);
    }
    EXPECT_EQ(ChangeType(image.get(), 3), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "ImageChangeDataType: data type 3 is not supported.");
    fHost.ClearPendingException();
}

// Types are changed in place, narrowing from the first element and widening from the last:
// every element must survive every step, whichever sizes meet.
TEST_F(ImageTest, EveryChangeOfTypeKeepsEveryElementInItsPlace) {
    std::vector<double> values;
    for (int i = 0; i < 1000; ++i)
        values.push_back(i % 128);
    auto image = Image1D(values);
    const uint32_t types[] = {1, 12, 6, 11, 2, 9, 7, 12, 10, 6, 2, 12};
    for (const uint32_t type : types) {
        ASSERT_EQ(ChangeType(image.get(), type), DM_CALL_OK) << type;
        ASSERT_EQ(fHost.ReadImage(image.get()).values, values) << "after changing to " << type;
    }
}

TEST_F(ImageTest, ASnapshotWithoutValuesKeepsEverythingElse) {
    dmhost::ImageSpec spec;
    spec.dataType = dmhost::kReal4Data;
    spec.values = {1, 2, 3};
    spec.calibrations = {{0.5f, 0.25f, "keV"}};
    auto image = fHost.MakeImage(spec);
    const dmhost::ImageSnapshot whole = fHost.ReadImage(image.get());
    const dmhost::ImageSnapshot bare =
        fHost.ReadImage(image.get(), dmhost::StandInHost::ImageValues::kWithoutValues);
    EXPECT_EQ(whole.values, (std::vector<double>{1, 2, 3}));
    EXPECT_TRUE(bare.values.empty());
    EXPECT_EQ(bare.dimensions, whole.dimensions);
    EXPECT_EQ(bare.dataType, whole.dataType);
    EXPECT_EQ(bare.calibrations[0].units, "keV");
}

TEST_F(ImageTest, ANewImageHoldsZeros) {
    DM_Object image = nullptr;
    ASSERT_EQ(Create("large", 8, 300000, &image), DM_CALL_OK);
    auto owned = Own(image);
    const std::vector<double> values = fHost.ReadImage(image).values;
    ASSERT_EQ(values.size(), 300000u);
    EXPECT_EQ(std::count(values.begin(), values.end(), 0.0), 300000);
}

TEST_F(ImageTest, LockedDataGivesTheLayoutAndWritesGoToTheImage) {
    dmhost::ImageSpec spec;
    spec.dimensions = {3, 2};
    spec.values = {0, 1, 2, 3, 4, 5};
    auto image = fHost.MakeImage(spec);
    void* lock = Lock(image.get());
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(fHost.LockCount(image.get()), 1);
    EXPECT_EQ(fHost.Audit().imageLocks, 1);

    Layout layout = GetLocked(image.get(), lock);
    ASSERT_EQ(layout.status, DM_CALL_OK);
    EXPECT_EQ(layout.dimensions, 2u);
    EXPECT_EQ(layout.type, 12u);
    EXPECT_EQ(layout.pairs[0][0], 3);
    EXPECT_EQ(layout.pairs[0][1], 1) << "dimension 0 varies fastest";
    EXPECT_EQ(layout.pairs[1][0], 2);
    EXPECT_EQ(layout.pairs[1][1], 3);
    EXPECT_EQ(layout.pairs[2][0], 0) << "pairs past the image's dimensions are not written";
    auto* data = static_cast<double*>(layout.data);
    EXPECT_EQ(data[4], 4.0);
    data[4] = 40.0;
    EXPECT_EQ(fHost.ReadImage(image.get()).values[4], 40.0);

    int other = 0;
    EXPECT_EQ(GetLocked(image.get(), &other).status, 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "The lock pointer does not belong to this image.");
    fHost.ClearPendingException();

    ASSERT_EQ(Unlock(image.get(), lock), DM_CALL_OK);
    EXPECT_EQ(fHost.LockCount(image.get()), 0);
    EXPECT_EQ(Unlock(image.get(), lock), 1) << "a lock is given back once";
    fHost.ClearPendingException();
    image.reset();
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

TEST_F(ImageTest, TheDataTypeMayChangeWhileLocked) {
    auto image = Image1D({1.25, 2.5});
    void* lock = Lock(image.get());
    ASSERT_EQ(ChangeType(image.get(), dmhost::kReal4Data), DM_CALL_OK);
    EXPECT_EQ(fHost.ReadImage(image.get()).values, (std::vector<double>{1.25, 2.5}));
    ASSERT_EQ(Unlock(image.get(), lock), DM_CALL_OK);
    EXPECT_EQ(fHost.LockCount(image.get()), 0);
}

TEST_F(ImageTest, CloneCopiesEverythingAndIsIndependent) {
    dmhost::ImageSpec spec;
    spec.name = "Spectrum 1";
    spec.dataType = dmhost::kReal4Data;
    spec.values = {1, 2, 3};
    spec.calibrations = {{0.5f, 0.25f, "keV"}};
    spec.intensityUnit = "Counts";
    spec.tags = {dmhost::TagValue::Group("EDS", {dmhost::TagValue::Double("Live time", 9)})};
    auto image = fHost.MakeImage(spec);
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("ImageRef ImageClone( ImageRef )", cells), DM_CALL_OK);
    auto clone = Own(cells[0].object);
    ASSERT_NE(clone.get(), image.get());

    auto original = fHost.ReadImage(image.get());
    auto copy = fHost.ReadImage(clone.get());
    EXPECT_EQ(copy.name, "Spectrum 1");
    EXPECT_EQ(copy.dataType, dmhost::kReal4Data);
    EXPECT_EQ(copy.values, original.values);
    EXPECT_EQ(copy.calibrations[0].origin, 0.5f);
    EXPECT_EQ(copy.calibrations[0].units, "keV");
    EXPECT_EQ(copy.intensityUnit, "Counts");
    EXPECT_EQ(copy.tags.Find("EDS:Live time")->doubleValue, 9);

    ASSERT_EQ(ChangeType(clone.get(), dmhost::kReal8Data), DM_CALL_OK);
    EXPECT_EQ(fHost.ReadImage(image.get()).dataType, dmhost::kReal4Data);
}

TEST_F(ImageTest, AnInvalidImageRefusesWork) {
    auto image = Image1D({1});
    fHost.InvalidateImage(image.get());
    auto cells = Cells(2);
    cells[1].object = image.get();
    EXPECT_EQ(Call("dm_string ImageGetName( ImageRef )", cells), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "ImageGetName: the image is no longer valid.");
    fHost.ClearPendingException();
}

TEST_F(ImageTest, PathExtractBaseNameStripsFoldersAndTheLastExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Data\\run 7\\NiOx_200kV.msa", "NiOx_200kV"},
        {"/home/u/spectra/a.b.emsa", "a.b"},
        {"mixed/dir\\name.txt", "name"},
        {"plain", "plain"},
        {"dir.d/noext", "noext"},
        {".hidden", ".hidden"},
        {"folder/", ""},
    };
    for (const auto& [path, base] : cases) {
        auto text = fHost.MakeString(path);
        auto cells = Cells(3);
        cells[1].object = text.get();
        ASSERT_EQ(Call("dm_string PathExtractBaseName( dm_string, ulong )", cells), DM_CALL_OK);
        auto result = Own(cells[0].object);
        EXPECT_EQ(fHost.ReadText(result.get()), base) << path;
    }
}

TEST_F(ImageTest, MakeImageRefusesSpecsThatDoNotFit) {
    dmhost::ImageSpec spec;
    EXPECT_THROW(fHost.MakeImage(spec), std::invalid_argument) << "no elements";
    spec.values = {1, 2, 3};
    spec.dimensions = {2, 2};
    EXPECT_THROW(fHost.MakeImage(spec), std::invalid_argument);
    spec.dimensions = {};
    spec.dataType = 13;
    EXPECT_THROW(fHost.MakeImage(spec), std::invalid_argument);
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

}  // namespace
}  // namespace dmhost_test
