// Faults switched on for single calls: stale functions, failing calls, refused locks,
// extra dimensions, images made invalid, the host version.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

constexpr const char* kGetName = "dm_string ImageGetName( ImageRef )";
constexpr const char* kLockData = "void *ImageLockData( Image *im, uint32 lock_flags )";
constexpr const char* kGetLocked =
    "void *ImageGetLockedData( Image *im, void *locked_data, uint32 des_num_dim, uint32 "
    "*act_num_dim, uint32 *data_type, uint32 *pack_style, long *dimension_info... )";

class FaultTest : public HostTest {
  protected:
    DM_Object LookUp(const char* signature) {
        return Interface()->table->LookUpFunction(Interface(), 0, signature);
    }
    int32_t GetName(DM_Object function, DM_Object image) {
        auto cells = Cells(2);
        cells[1].object = image;
        const int32_t status = CallHandle(function, cells);
        Own(cells[0].object);
        return status;
    }
    void* Lock(DM_Object image) {
        auto cells = Cells(3);
        cells[1].object = image;
        cells[2].u32 = 1;
        EXPECT_EQ(Call(kLockData, cells), DM_CALL_OK);
        return cells[0].pointer;
    }
    uint32_t GetLocked(DM_Object image, void* lock, int32_t pairs[5][2]) {
        uint32_t dimensions = 5, type = 0, pack = 0;
        auto cells = Cells(17);
        cells[1].object = image;
        cells[2].pointer = lock;
        cells[3].u32 = 5;
        cells[4].pointer = &dimensions;
        cells[5].pointer = &type;
        cells[6].pointer = &pack;
        for (int d = 0; d < 5; ++d) {
            cells[7 + 2 * d].pointer = &pairs[d][0];
            cells[8 + 2 * d].pointer = &pairs[d][1];
        }
        EXPECT_EQ(Call(kGetLocked, cells), DM_CALL_OK);
        return dimensions;
    }
};

TEST_F(FaultTest, AStaleHandleAnswersThreeAndALookUpGivesAFreshOne) {
    auto image = Image1D({1});
    DM_Object first = LookUp(kGetName);
    fHost.MakeFunctionStale(kGetName);
    EXPECT_EQ(GetName(first, image.get()), DM_CALL_STALE_FUNCTION);
    EXPECT_TRUE(fHost.HasPendingException()) << "the module clears it before retrying";
    fHost.ClearPendingException();

    DM_Object fresh = LookUp(kGetName);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, first);
    EXPECT_EQ(GetName(fresh, image.get()), DM_CALL_OK);
    EXPECT_EQ(GetName(first, image.get()), DM_CALL_STALE_FUNCTION) << "stale stays stale";
    fHost.ClearPendingException();
    ReleaseFunction(first);
    ReleaseFunction(fresh);
    EXPECT_FALSE(fHost.IsLive(first)) << "the host let go of the stale handle";
}

TEST_F(FaultTest, StaleTwiceMakesTheFreshHandleStaleToo) {
    auto image = Image1D({1});
    fHost.MakeFunctionStale(kGetName, 2);
    DM_Object first = LookUp(kGetName);
    EXPECT_EQ(GetName(first, image.get()), DM_CALL_STALE_FUNCTION);
    DM_Object fresh = LookUp(kGetName);
    EXPECT_EQ(GetName(fresh, image.get()), DM_CALL_STALE_FUNCTION);
    DM_Object third = LookUp(kGetName);
    EXPECT_EQ(GetName(third, image.get()), DM_CALL_OK);
    fHost.ClearPendingException();
    for (DM_Object f : {first, fresh, third})
        ReleaseFunction(f);
}

TEST_F(FaultTest, AFailingCallLeavesTheGivenThrowableOnce) {
    auto image = Image1D({1});
    fHost.FailNextCall("ImageGetName", 28802, "Injected failure.");
    auto cells = Cells(2);
    cells[1].object = image.get();
    EXPECT_EQ(Call(kGetName, cells), 1);
    EXPECT_EQ(cells[0].object, nullptr) << "a failed call leaves the result cell empty";
    EXPECT_EQ(fHost.PendingExceptionMessage(), "Injected failure.");
    EXPECT_EQ(fHost.PendingExceptionCode(), 28802);
    fHost.ClearPendingException();

    cells = Cells(2);
    cells[1].object = image.get();
    EXPECT_EQ(Call(kGetName, cells), DM_CALL_OK);
    Own(cells[0].object);
    EXPECT_EQ(fHost.CallCount("ImageGetName"), 2);
}

TEST_F(FaultTest, ARefusedLockAnswersNullOnce) {
    auto image = Image1D({1});
    fHost.RefuseNextLock();
    EXPECT_EQ(Lock(image.get()), nullptr);
    EXPECT_EQ(fHost.LockCount(image.get()), 0);
    EXPECT_FALSE(fHost.HasPendingException()) << "a refusal is a null answer, not a failure";
    void* lock = Lock(image.get());
    EXPECT_NE(lock, nullptr);
    auto cells = Cells(3);
    cells[0].object = image.get();
    cells[1].pointer = lock;
    EXPECT_EQ(
        Call("void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )", cells),
        DM_CALL_OK);
}

TEST_F(FaultTest, AnImageCanReportSixDimensions) {
    auto image = Image1D({1, 2, 3});
    fHost.ReportDimensionCount(image.get(), 6);
    void* lock = Lock(image.get());
    int32_t pairs[5][2] = {};
    EXPECT_EQ(GetLocked(image.get(), lock, pairs), 6u);
    EXPECT_EQ(pairs[0][0], 3);
    EXPECT_EQ(fHost.Audit().imageLocks, 1) << "the lock stays granted until given back";
    auto cells = Cells(3);
    cells[0].object = image.get();
    cells[1].pointer = lock;
    EXPECT_EQ(
        Call("void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )", cells),
        DM_CALL_OK);
}

TEST_F(FaultTest, AnImageMadeInvalidWhileLockedNeedsNoUnlock) {
    auto image = Image1D({1, 2});
    fHost.InvalidateWhenLocked(image.get());
    void* lock = Lock(image.get());
    int32_t pairs[5][2] = {};
    EXPECT_EQ(GetLocked(image.get(), lock, pairs), 1u);
    EXPECT_FALSE(fHost.ReadImage(image.get()).valid);
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("Boolean ImageIsValid( ImageRef )", cells), DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 0);
    EXPECT_EQ(fHost.Audit().imageLocks, 0) << "the invalid image's lock is gone with it";
    EXPECT_EQ(fHost.LockCount(image.get()), 1) << "no unlock call was made";
    EXPECT_EQ(fHost.CallCount("ImageUnlockData"), 0);
}

TEST_F(FaultTest, TheHostVersionCanBeChosen) {
    EXPECT_EQ(Interface()->table->GetVersion(Interface()), 0x03080000u);
    fHost.SetVersion(0x0307FFFF);
    EXPECT_EQ(Interface()->table->GetVersion(Interface()), 0x0307FFFFu);
    dmhost::StandInHost old(0x03000000);
    EXPECT_EQ(old.Interface()->table->GetVersion(old.Interface()), 0x03000000u);
}

}  // namespace
}  // namespace dmhost_test
