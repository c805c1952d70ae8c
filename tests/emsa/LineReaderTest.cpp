// Lines from a text in memory and from a stream read in blocks: the same lines whatever
// the block size, so a line ending split between two blocks (CR | LF) is one ending.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "emsa/LineReader.h"

namespace xray {

namespace {

std::vector<std::string> Drain(LineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line))
        lines.emplace_back(line);
    return lines;
}

std::vector<std::string> TextLines(const std::string& text) {
    LineReader reader{std::string_view(text)};
    return Drain(reader);
}

std::vector<std::string> StreamLines(const std::string& text, size_t blockSize) {
    std::istringstream in(text);
    LineReader reader(in, blockSize);
    return Drain(reader);
}

TEST(LineReaderTest, EveryLineEndingInEveryBlockSize) {
    const std::vector<std::string> expected{"a", "", "b", "c"};
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a\n\nb\nc\n", expected},
        {"a\r\n\r\nb\r\nc", expected},
        {"a\r\rb\rc\r", expected},
        {"a\n\r\nb\rc", expected},
        {"a\n\r\r\nb\nc", {"a", "", "", "b", "c"}},  // CR CR LF: a lone CR, then CR LF
        {"", {}},
        {"\n", {""}},
        {"\r\n", {""}},
        {"only", {"only"}},
        {"12345.6\r\n7.5\r\n-3\r\n", {"12345.6", "7.5", "-3"}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(TextLines(text), lines) << "in memory: " << testing::PrintToString(text);
        for (const size_t block : {1, 2, 3, 4, 5, 7, 64}) {
            EXPECT_EQ(StreamLines(text, block), lines)
                << "blocks of " << block << ": " << testing::PrintToString(text);
        }
    }
}

TEST(LineReaderTest, ALineLongerThanABlockComesWhole) {
    const std::string longLine(10000, 'x');
    EXPECT_EQ(StreamLines("a\n" + longLine + "\r\nb", 16),
              (std::vector<std::string>{"a", longLine, "b"}));
}

TEST(LineReaderTest, TheLastLineStaysValidAfterTheEnd) {
    for (const std::string text : {"first\nlast\n", "first\nlast", "first\r\nlast\r\n"}) {
        std::istringstream in(text);
        LineReader reader(in, 4);
        std::string_view line;
        ASSERT_TRUE(reader.Next(line));
        ASSERT_TRUE(reader.Next(line));
        EXPECT_FALSE(reader.Next(line));
        EXPECT_FALSE(reader.Next(line));
        EXPECT_EQ(line, "last") << testing::PrintToString(text);
    }
}

// Whole lines consumed straight from what was read ahead, then the rest by Next.
TEST(LineReaderTest, SkipAndRefillAgreeWithNext) {
    std::istringstream in("one\ntwo\nthree\nfour\n");
    LineReader reader(in, 8);
    ASSERT_TRUE(reader.Refill(8));
    EXPECT_EQ(std::string(reader.begin(), reader.end()), "one\ntwo\n");
    reader.Skip(reader.begin() + 4);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(reader.Refill(100)) << "the stream has fewer characters left";
    EXPECT_EQ(std::string(reader.begin(), reader.end()), "four\n");
}

// A stream buffer whose device fails after some characters, as a disk error would.
class FailingBuf : public std::streambuf {
  public:
    explicit FailingBuf(std::string text) : fText(std::move(text)) {
        setg(fText.data(), fText.data(), fText.data() + fText.size());
    }

  protected:
    int_type underflow() override { throw std::runtime_error("device error"); }

  private:
    std::string fText;
};

TEST(LineReaderTest, AFailingStreamThrows) {
    FailingBuf buf("line one\nline t");
    std::istream in(&buf);
    LineReader reader(in, 4);
    std::string_view line;
    EXPECT_THROW(
        {
            while (reader.Next(line)) {
            }
        },
        std::ios_base::failure);
}

}  // namespace

}  // namespace xray
