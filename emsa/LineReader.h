// LineReader: the lines of a text, either held in memory or read from a stream in blocks,
// handed out without copying.
//
// A line ends at a line feed, at a carriage return followed by a line feed, or at a lone
// carriage return (some programs write only carriage returns); the ending is not part of
// the line. The last line needs no ending, and a text that ends with a line end has no
// empty line after it.
//
// A stream is read kBlockSize characters at a time into one buffer, which grows only for a
// line longer than a block, so reading a file of any length holds about one block. A line
// handed out stays valid until the next call that reads (Next or Refill); when Next
// reports the end, the last line handed out is still valid. The text or stream is
// borrowed and must outlive the reader. A stream that fails while reading (not at its
// end) makes Next and Refill throw std::ios_base::failure. Not for concurrent use.
#ifndef XRAY_EMSA_LINEREADER_H
#define XRAY_EMSA_LINEREADER_H

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

namespace xray {

class LineReader {
  public:
    static constexpr size_t kBlockSize = size_t{1} << 16;

    explicit LineReader(std::string_view text);
    explicit LineReader(std::istream& in, size_t blockSize = kBlockSize);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    LineReader(LineReader&&) noexcept = default;  // the buffer's block moves along
    LineReader& operator=(LineReader&&) noexcept = default;

    // Sets `line` to the next line and returns true; at the end of the text returns false
    // and leaves `line` as it was.
    bool Next(std::string_view& line);

    // The characters read ahead and not yet handed out, for callers that scan several
    // lines at once: they consume whole lines by Skip, and call Next for the rest.
    const char* begin() const { return fData + fPosition; }
    const char* end() const { return fData + fFilled; }
    void Skip(const char* to) {
        fPosition = static_cast<size_t>(to - fData);
        fSearched = 0;
    }

    // Reads ahead until at least `count` characters are unread or the stream is exhausted
    // (a text in memory is exhausted from the start). May move the unread characters, so
    // earlier pointers and lines are invalid afterwards. Returns whether `count` are there.
    bool Refill(size_t count);

  private:
    // Where the line starting at fPosition ends, or npos while more may have to be read.
    size_t FindLineEnd();
    size_t LineEndingLength(size_t end) const;

    std::istream* fIn = nullptr;
    std::vector<char> fBuffer;  // unused for a text in memory
    const char* fData = nullptr;
    size_t fPosition = 0;
    size_t fFilled = 0;
    size_t fSearched = 0;  // characters of the line at fPosition known to hold no line end
    size_t fBlockSize = kBlockSize;
    bool fExhausted = true;
};

}  // namespace xray

#endif  // XRAY_EMSA_LINEREADER_H
