// The Results window, alerts, custom menu and tool ids, and callbacks called through cells.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

using ServiceTest = HostTest;

TEST_F(ServiceTest, ResultsAreAppendedUnchangedAndAlertsKeepTheirKind) {
    for (const char* piece : {"FAIL : Unable to open ", "x.msa!\n", "next"}) {
        auto text = fHost.MakeString(piece);
        auto cells = Cells(1);
        cells[0].object = text.get();
        ASSERT_EQ(Call("void Result( dm_string )", cells), DM_CALL_OK);
    }
    EXPECT_EQ(fHost.ResultsText(), "FAIL : Unable to open x.msa!\nnext");
    fHost.ClearResults();
    EXPECT_EQ(fHost.ResultsText(), "");

    auto cells = Cells(2);
    cells[0].text = "Too many dimensions.";
    cells[1].i32 = -7;
    ASSERT_EQ(Call("void ShowAlert( string, long )", cells), DM_CALL_OK);
    ASSERT_EQ(fHost.Alerts().size(), 1u);
    EXPECT_EQ(fHost.Alerts()[0].text, "Too many dimensions.");
    EXPECT_EQ(fHost.Alerts()[0].kind, -7) << "the alert kind passes through unchanged";

    cells = Cells(2);
    cells[0].text = nullptr;
    EXPECT_EQ(Call("void ShowAlert( string, long )", cells), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "ShowAlert argument 1: no text given.");
    fHost.ClearPendingException();
}

TEST_F(ServiceTest, CustomMenusAndToolsGetDistinctIds) {
    auto cells = Cells(2);
    ASSERT_EQ(Call("long RegisterCustomMenu( long )", cells), DM_CALL_OK);
    const int32_t menu = cells[0].i32;
    cells = Cells(3);
    cells[1].text = "tool";
    ASSERT_EQ(Call("long RegisterCustomTool( string, long )", cells), DM_CALL_OK);
    EXPECT_NE(cells[0].i32, menu);
    cells = Cells(1);
    cells[0].i32 = menu;
    EXPECT_EQ(Call("void UnregisterCustomMenu( long )", cells), DM_CALL_OK);
}

int32_t seenValue = 0;
HostContext* seenContext = nullptr;

void DM_CDECL StoreSize(HostContext* context, void*, ArgumentCell* cells) {
    seenContext = context;
    seenValue = cells[1].i32;
    cells[0].i32 = seenValue * 2;
}

TEST_F(ServiceTest, ACallbackFunctionIsCalledWithAContextAndTheCells) {
    auto signature = fHost.MakeString("long Twice( long )");
    auto cells = Cells(4);
    cells[1].object = signature.get();
    cells[2].pointer = reinterpret_cast<void*>(StoreSize);
    cells[3].u32 = DM_FUNCTION_CELLS;
    ASSERT_EQ(Call("Function NewCallbackFunction( dm_string, void *, uint32 )", cells), DM_CALL_OK);
    auto callback = Own(cells[0].object);

    cells = Cells(2);
    cells[1].i32 = 21;
    EXPECT_EQ(CallHandle(callback.get(), cells), DM_CALL_OK);
    EXPECT_EQ(seenValue, 21);
    EXPECT_EQ(cells[0].i32, 42);
    EXPECT_NE(seenContext, nullptr);
    EXPECT_EQ(fHost.Audit().openContexts, 0) << "the callback's context was released";

    cells = Cells(4);
    cells[1].object = signature.get();
    cells[2].pointer = reinterpret_cast<void*>(StoreSize);
    cells[3].u32 = DM_FUNCTION_PLAIN;
    EXPECT_EQ(Call("Function NewCallbackFunction( dm_string, void *, uint32 )", cells), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "NewCallbackFunction: the stand-in host calls callbacks only with flags 4, not 3.");
    fHost.ClearPendingException();
}

TEST_F(ServiceTest, ScriptObjectLookUpsFindNoObject) {
    auto name = fHost.MakeString("class");
    uint32_t first = 77, second = 77;
    auto cells = Cells(6);
    cells[2].object = name.get();
    cells[3].u32 = 1;
    cells[4].pointer = &first;
    cells[5].pointer = &second;
    ASSERT_EQ(Call("bool ScriptObjectGetClassIndex( ScriptObject, dm_string, bool, ulong *, "
                   "ulong * )",
                   cells),
              DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 0);
    EXPECT_EQ(first, 77u);

    cells = Cells(6);
    cells[5].pointer = &first;
    ASSERT_EQ(Call("bool ScriptObjectGetClassTokenByIndex( ScriptObject, ulong, ulong, bool, "
                   "ulong * )",
                   cells),
              DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 0);
}

TEST_F(ServiceTest, LockedDataNeedsTwoPointersPerRequestedDimension) {
    auto image = Image1D({1, 2});
    auto cells = Cells(3);
    cells[1].object = image.get();
    ASSERT_EQ(Call("void *ImageLockData( Image *im, uint32 lock_flags )", cells), DM_CALL_OK);
    void* lock = cells[0].pointer;

    uint32_t count = 0, type = 0, pack = 0;
    int32_t pair[2] = {};
    cells = Cells(9);  // asks for 2 dimensions but passes pointers for one
    cells[1].object = image.get();
    cells[2].pointer = lock;
    cells[3].u32 = 2;
    cells[4].pointer = &count;
    cells[5].pointer = &type;
    cells[6].pointer = &pack;
    cells[7].pointer = &pair[0];
    cells[8].pointer = &pair[1];
    EXPECT_EQ(Call("void *ImageGetLockedData( Image *im, void *locked_data, uint32 des_num_dim, "
                   "uint32 *act_num_dim, uint32 *data_type, uint32 *pack_style, long "
                   "*dimension_info... )",
                   cells),
              1);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "ImageGetLockedData: 2 dimensions need 4 dimension pointers.");
    fHost.ClearPendingException();

    cells = Cells(3);
    cells[0].object = image.get();
    cells[1].pointer = lock;
    EXPECT_EQ(
        Call("void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )", cells),
        DM_CALL_OK);
}

}  // namespace
}  // namespace dmhost_test
