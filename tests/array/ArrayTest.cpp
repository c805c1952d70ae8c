#include <gtest/gtest.h>

#include <string>

#include "array/Array1D.h"
#include "array/Array2D.h"
#include "array/ArrayOps.h"

namespace xray {

namespace {

Array1D<double> Iota(int32_t n) {
    Array1D<double> a(n);
    for (int32_t i = 0; i < n; ++i)
        a[i] = i;
    return a;
}

TEST(Array1DTest, FillResizeAndAssign) {
    Array1D<double> a(4, 2.5);
    for (double v : a)
        EXPECT_EQ(v, 2.5);

    const double* block = a.data();
    a.resize(4);
    EXPECT_EQ(a.data(), block) << "resizing to the same count keeps the block";
    EXPECT_EQ(a[3], 2.5);

    a.resize(7);
    EXPECT_EQ(a.count(), 7);

    Array1D<double> b = Iota(7);
    a = b;
    EXPECT_NE(a.data(), b.data()) << "assignment copies, never shares";
    for (int32_t i = 0; i < 7; ++i)
        EXPECT_EQ(a[i], i);

    b[0] = 99;
    EXPECT_EQ(a[0], 0);
}

TEST(Array1DTest, SelfAssignmentAndOtherCounts) {
    Array1D<double> a = Iota(3);
    const Array1D<double>& same = a;
    a = same;
    ASSERT_EQ(a.count(), 3);
    EXPECT_EQ(a[2], 2);

    a = Iota(10);
    EXPECT_EQ(a.count(), 10);
    EXPECT_EQ(a[9], 9);
}

TEST(Array1DTest, EmptyArrayBehavesLikeAnyOther) {
    Array1D<double> empty(0);
    EXPECT_EQ(empty.count(), 0);
    EXPECT_NE(empty.data(), nullptr);
    empty.resize(2);
    empty[1] = 5;
    EXPECT_EQ(empty[1], 5);
    empty = Array1D<double>(0);
    EXPECT_EQ(empty.count(), 0);
}

TEST(Array2DTest, RowsLieInOneBlock) {
    Array2D<double> t(5, 3);
    EXPECT_EQ(t.row(4) - t.row(0), 4 * 3);
    for (int32_t i = 0; i < 5; ++i)
        for (int32_t j = 0; j < 3; ++j)
            t(i, j) = 10 * i + j;
    EXPECT_EQ(t.row(0)[14], 42) << "element (4, 2) is 14 elements into the block";

    Array2D<double> copy(1, 1);
    copy = t;
    EXPECT_NE(copy.row(0), t.row(0));
    EXPECT_EQ(copy(3, 1), 31);

    const double* block = t.row(0);
    t.resize(5, 3);
    EXPECT_EQ(t.row(0), block);
    t.resize(2, 8);
    EXPECT_EQ(t.nrows(), 2);
    EXPECT_EQ(t.ncols(), 8);
    EXPECT_EQ(t.row(1) - t.row(0), 8);
}

TEST(ArrayOpsTest, SubArrayCopiesInclusiveRange) {
    Array1D<double> sub = SubArray(Iota(10), 3, 6);
    ASSERT_EQ(sub.count(), 4);
    EXPECT_EQ(sub[0], 3);
    EXPECT_EQ(sub[3], 6);
}

TEST(ArrayOpsTest, ExtractRowAndColumn) {
    Array2D<double> t(3, 2);
    for (int32_t i = 0; i < 3; ++i) {
        t(i, 0) = i;
        t(i, 1) = 100 + i;
    }
    Array1D<double> column = Extract(t, 1, 1);
    ASSERT_EQ(column.count(), 3);
    EXPECT_EQ(column[2], 102);
    Array1D<double> row = Extract(t, 0, 2);
    ASSERT_EQ(row.count(), 2);
    EXPECT_EQ(row[1], 102);
}

void ExpectArrayError(void (*op)(), const std::string& text) {
    try {
        op();
        ADD_FAILURE() << "expected ArrayError: " << text;
    } catch (const ArrayError& e) {
        EXPECT_EQ(e.what(), text);
    }
}

TEST(ArrayOpsTest, FailedChecksCarryTheirTexts) {
    ExpectArrayError([] { SubArray(Iota(5), 2, 5); },
                     "failure: indices for new subarray are out of ranges");
    ExpectArrayError([] { SubArray(Iota(5), 3, 2); },
                     "failure: indices for new subarray are out of ranges");
    ExpectArrayError([] { Extract(Array2D<double>(2, 2), 2, 0); },
                     "failure: input dimention to extract from array is out of ranges");
    ExpectArrayError([] { Extract(Array2D<double>(2, 3), 1, 3); },
                     "failure: input position to extract from array is out of ranges");
}

}  // namespace

}  // namespace xray
