// The Results stream: which writes become pieces, and how big they are.
#include <gtest/gtest.h>

#include <string>

#include "plugin/ResultsStream.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;

class ResultsStreamTest : public FrameTest {
  protected:
    int32_t Pieces() const { return fHost.CallCount("Result"); }
    std::string Text() const { return fHost.ResultsText(); }
};

TEST_F(ResultsStreamTest, LongWriteIsOnePiece) {
    const std::string text(300, 'a');
    ResultsStream.write(text.data(), static_cast<std::streamsize>(text.size()));
    EXPECT_EQ(Pieces(), 1);
    EXPECT_EQ(Text(), text);
    ResultsStream.flush();
    EXPECT_EQ(Pieces(), 1) << "nothing left to send";
}

TEST_F(ResultsStreamTest, ShortWriteWaitsForTheFlush) {
    ResultsStream << "0123456789";
    EXPECT_EQ(Pieces(), 0);
    ResultsStream.flush();
    EXPECT_EQ(Pieces(), 1);
    EXPECT_EQ(Text(), "0123456789");
}

TEST_F(ResultsStreamTest, FullBufferIsSentByThe256thCharacter) {
    const std::string text(255, 'b');
    ResultsStream << text;
    EXPECT_EQ(Pieces(), 0) << "255 characters fit";
    ResultsStream << 'c';
    EXPECT_EQ(Pieces(), 1);
    EXPECT_EQ(Text(), text);
    ResultsStream << std::endl;
    EXPECT_EQ(Pieces(), 2);
    EXPECT_EQ(Text(), text + "c\n");
}

TEST_F(ResultsStreamTest, WriteThatDoesNotFitSendsTheBufferFirst) {
    ResultsStream << std::string(200, 'x');
    ResultsStream << std::string(100, 'y');
    EXPECT_EQ(Pieces(), 1);
    EXPECT_EQ(Text(), std::string(200, 'x'));
    ResultsStream.flush();
    EXPECT_EQ(Text(), std::string(200, 'x') + std::string(100, 'y'));
}

TEST_F(ResultsStreamTest, RefusedPieceStaysBufferedAndFlushFails) {
    ResultsStream << "kept";
    fHost.FailNextCall("Result", 28802, "Results window closed.");
    ResultsStream.flush();
    EXPECT_TRUE(ResultsStream.bad());
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(fHost.HasPendingException());

    ResultsStream.clear();
    ResultsStream.flush();
    EXPECT_TRUE(ResultsStream.good());
    EXPECT_EQ(Text(), "kept");
}

}  // namespace
