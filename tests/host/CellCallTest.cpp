// Calls through the raw tables: how each type word travels in its cell, who owns what,
// and how malformed calls fail.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

using CellCallTest = HostTest;

bool ZeroAfter(const ArgumentCell& cell, size_t from) {
    for (size_t i = from; i < sizeof(cell.bytes); ++i) {
        if (cell.bytes[i] != 0)
            return false;
    }
    return true;
}

TEST_F(CellCallTest, BoolResultIsTheFirstByteOnly) {
    auto image = Image1D({1, 2, 3});
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("Boolean ImageIsValid( ImageRef )", cells), DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 1);
    EXPECT_TRUE(ZeroAfter(cells[0], 1));

    fHost.InvalidateImage(image.get());
    cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("Boolean ImageIsValid( ImageRef )", cells), DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 0);
}

TEST_F(CellCallTest, HandleResultCarriesOneReferenceAndArgumentsAreBorrowed) {
    auto image = Image1D({1, 2});
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("dm_string ImageGetName( ImageRef )", cells), DM_CALL_OK);
    auto name = Own(cells[0].object);
    EXPECT_EQ(fHost.ReadText(name.get()), "test");
    EXPECT_EQ(fHost.ReferenceCount(name.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1) << "the argument is only borrowed";

    cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("TagGroup ImageGetTagGroup( ImageRef )", cells), DM_CALL_OK);
    auto tags = Own(cells[0].object);
    EXPECT_EQ(fHost.ReferenceCount(tags.get()), 1);

    name.reset();
    tags.reset();
    image.reset();
    EXPECT_EQ(fHost.Audit(), fBaseline) << "nothing left once the test's references are gone";
}

TEST_F(CellCallTest, IntegerResultAndArgumentsTakeFourBytes) {
    auto image = Image1D({1, 2, 3, 4, 5}, dmhost::kReal4Data);
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("uint32 ImageGetDataType( ImageRef )", cells), DM_CALL_OK);
    EXPECT_EQ(cells[0].u32, 2u);
    EXPECT_TRUE(ZeroAfter(cells[0], 4));

    cells = Cells(3);
    cells[1].object = image.get();
    cells[2].u32 = 0;
    ASSERT_EQ(Call("uint32 ImageGetDimensionSize( ImageRef, uint32 )", cells), DM_CALL_OK);
    EXPECT_EQ(cells[0].u32, 5u);
}

TEST_F(CellCallTest, OutputArgumentsAreWrittenThroughTheirAddresses) {
    dmhost::ImageSpec spec;
    spec.values = {0, 0};
    spec.calibrations = {{-0.25f, 0.01f, "keV"}};
    auto image = fHost.MakeImage(spec);
    float origin = 99, scale = 99;
    DM_Object units = nullptr;
    auto cells = Cells(6);
    cells[0].object = image.get();
    cells[1].i32 = 0;
    cells[2].pointer = &origin;
    cells[3].pointer = &scale;
    cells[4].pointer = &units;
    cells[5].i32 = 0;
    ASSERT_EQ(Call("void ImageGetDimensionCalibration( ImageRef, long, float *, float *, "
                   "dm_string *, long )",
                   cells),
              DM_CALL_OK);
    EXPECT_EQ(origin, -0.25f);
    EXPECT_EQ(scale, 0.01f);
    auto ownedUnits = Own(units);
    EXPECT_EQ(fHost.ReadText(units), "keV");
    EXPECT_EQ(fHost.ReferenceCount(units), 1) << "the output handle is the caller's";
}

TEST_F(CellCallTest, DoubleArgumentsAndOutputsTakeEightBytes) {
    auto group = fHost.MakeTagGroup({});
    auto cells = Cells(3);
    cells[0].object = group.get();
    cells[1].text = "EDS:Live time";
    cells[2].f64 = 12.345678901234;
    ASSERT_EQ(Call("void TagGroupSetTagAsDouble( TagGroup, string, double )", cells), DM_CALL_OK);

    double value = 0;
    cells = Cells(4);
    cells[1].object = group.get();
    cells[2].text = "EDS:Live time";
    cells[3].pointer = &value;
    ASSERT_EQ(Call("Boolean TagGroupGetTagAsDouble( TagGroup, string, double * )", cells),
              DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 1);
    EXPECT_EQ(value, 12.345678901234);
}

TEST_F(CellCallTest, WrongCellCountFailsWithAPendingThrowableAndNoResult) {
    auto image = Image1D({1});
    auto cells = Cells(1);  // the argument cell is missing
    EXPECT_EQ(Call("dm_string ImageGetName( ImageRef )", cells), 1);
    EXPECT_EQ(cells[0].object, nullptr);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "ImageGetName expects 2 argument cells, got 1.");
    EXPECT_EQ(fHost.AuditErrors().size(), 1u);
    fHost.ClearAuditErrors();
    fHost.ClearPendingException();
}

TEST_F(CellCallTest, CellsNotZeroFilledAfterTheirValueAreRefused) {
    auto image = Image1D({1});
    auto cells = Cells(3);
    cells[1].object = image.get();
    cells[2].u32 = 0;
    cells[2].bytes[5] = 7;  // garbage after a 4-byte value
    EXPECT_EQ(Call("uint32 ImageGetDimensionSize( ImageRef, uint32 )", cells), 1);
    EXPECT_NE(fHost.PendingExceptionMessage().find("not zero-filled"), std::string::npos);

    cells = Cells(2);
    cells[0].u32 = 5;  // a result cell must arrive zeroed
    cells[1].object = image.get();
    EXPECT_EQ(Call("uint32 ImageGetDataType( ImageRef )", cells), 1);
    EXPECT_EQ(fHost.AuditErrors().size(), 2u);
    fHost.ClearAuditErrors();
    fHost.ClearPendingException();
}

TEST_F(CellCallTest, NullOrUnknownFunctionHandleFailsWithAPendingThrowable) {
    auto cells = Cells(1);
    EXPECT_EQ(CallHandle(nullptr, cells), 1);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "CallFunction: no function given.");

    int notAnObject = 0;
    EXPECT_EQ(CallHandle(reinterpret_cast<DM_Object>(&notAnObject), cells), 1);
    EXPECT_TRUE(fHost.HasPendingException());
    EXPECT_EQ(fHost.AuditErrors().size(), 1u);
    fHost.ClearAuditErrors();
    fHost.ClearPendingException();
}

TEST_F(CellCallTest, WrongObjectClassInAHandleCellFailsTheCall) {
    auto text = fHost.MakeString("not an image");
    auto cells = Cells(2);
    cells[1].object = text.get();
    EXPECT_EQ(Call("dm_string ImageGetName( ImageRef )", cells), 1);
    EXPECT_EQ(cells[0].object, nullptr);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "ImageGetName argument 1: not an image.");
    fHost.ClearAuditErrors();
    fHost.ClearPendingException();
}

TEST_F(CellCallTest, TakeExceptionHandsOverThePendingThrowable) {
    auto cells = Cells(1);
    ASSERT_EQ(CallHandle(nullptr, cells), 1);
    HostContext* context = fHost.NewContext();
    DM_Object taken = context->table->TakeException(context);
    ASSERT_NE(taken, nullptr);
    EXPECT_FALSE(fHost.HasPendingException());
    EXPECT_EQ(fHost.ReferenceCount(taken), 1);
    EXPECT_EQ(context->table->TakeException(context), nullptr);

    context->table->SetException(context, taken);
    EXPECT_EQ(fHost.PendingException(), taken) << "setting hands back the same object";
    Own(taken);
    EXPECT_TRUE(fHost.HasPendingException()) << "the host keeps its own reference";
    context->table->ClearException(context);
    EXPECT_FALSE(fHost.HasPendingException());
    context->table->Release(context);
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

}  // namespace
}  // namespace dmhost_test
