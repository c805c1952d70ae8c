// Handle reference rules and text moving in and out of host Strings.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "plugin/HostStrings.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;

TEST_F(FrameTest, HandleCopiesAssignmentsAndDetachCountReferences) {
    dmhost::ObjectRef made = fHost.MakeString("text");
    dmhost::ObjectRef other = fHost.MakeString("other");
    DM_Object object = made.get();
    auto count = [&] { return fHost.ReferenceCount(object); };
    ASSERT_EQ(count(), 1);
    {
        String borrowed = String::FromBorrowed(object);
        EXPECT_EQ(count(), 2);
        String copy = borrowed;
        EXPECT_EQ(count(), 3);
        String& same = copy;
        copy = same;
        EXPECT_EQ(count(), 3) << "self-assignment";
        EXPECT_EQ(copy.get(), object);

        String assigned = String::FromBorrowed(other.get());
        assigned = borrowed;
        EXPECT_EQ(count(), 4);
        EXPECT_EQ(fHost.ReferenceCount(other.get()), 1) << "the old object is given back";

        String moved = std::move(assigned);
        EXPECT_EQ(count(), 4);
        EXPECT_TRUE(assigned.IsNull());

        DM_Object detached = copy.Detach();
        EXPECT_TRUE(copy.IsNull());
        EXPECT_EQ(count(), 4) << "the reference goes with the pointer";
        String::TakeOver(detached);
        EXPECT_EQ(count(), 3);

        String empty;
        borrowed = empty;
        EXPECT_EQ(count(), 2);
    }
    EXPECT_EQ(count(), 1);
}

TEST_F(FrameTest, HandlesCompareAndCheckThroughTheirClass) {
    dmhost::ObjectRef made = fHost.MakeString("x");
    String a = String::FromBorrowed(made.get());
    EXPECT_TRUE(a.IsValid());
    EXPECT_TRUE(a.IsSameObject(made.get()));
    EXPECT_FALSE(a.IsSameObject(nullptr));
    EXPECT_TRUE(String().IsSameObject(nullptr));
}

TEST_F(FrameTest, StringsCarryEightBitTextBothWays) {
    const std::string text("caf\xe9 \0 end", 10);
    String made = MakeString(text);
    EXPECT_EQ(fHost.ReferenceCount(made.get()), 1);
    EXPECT_EQ(fHost.ReadText(made.get()), text);
    EXPECT_EQ(StringToText(made), text);
    EXPECT_EQ(StringToText(String()), "") << "a String that cannot be read is empty";
}

TEST_F(FrameTest, CopyStringToBufferStoresAtMostTheCapacity) {
    const std::string text(300, 'q');
    String string = MakeHostString(text);
    char buffer[256];
    std::fill(buffer, buffer + sizeof buffer, '#');
    std::size_t stored = CopyStringToBuffer(string, buffer, 255);
    EXPECT_EQ(stored, 255u);
    EXPECT_EQ(std::string(buffer, 255), text.substr(0, 255));
    EXPECT_EQ(buffer[255], '#') << "nothing written past the capacity";

    std::size_t shortStored = CopyStringToBuffer(MakeHostString("abc"), buffer, 255);
    EXPECT_EQ(shortStored, 3u);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(StringSinkTest, FixedBufferSinkCountsWhatItDrops) {
    char buffer[4];
    FixedBufferSink sink(buffer, 4);
    sink.Accept("ab", 2);
    sink.Accept("cdef", 4);
    EXPECT_EQ(std::string(sink.Stored().chars, sink.Stored().count), "abcd");
    EXPECT_EQ(sink.Dropped(), 2u);
}

// A sink that fails still leaves the host's String unlocked.
class ThrowingSink : public StringSink {
  public:
    void Accept(const char*, std::size_t) override { throw std::runtime_error("sink full"); }
    CharRange Stored() const override { return CharRange{nullptr, 0}; }
};

TEST_F(FrameTest, FailingSinkStillUnlocksTheString) {
    String string = MakeHostString("abc");
    ThrowingSink sink;
    EXPECT_THROW(ReadString(string, sink), std::runtime_error);
    EXPECT_EQ(fHost.Audit().stringLocks, 0);
}

}  // namespace
