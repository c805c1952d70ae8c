// LineCursor: walks the lines of a text held in memory, without copying.
//
// A line ends at a line feed, at a carriage return followed by a line feed, or at a lone
// carriage return (some programs write only carriage returns); the ending is not part of
// the line. The last line needs no ending, and a text that ends with a line end has no
// empty line after it. The text is borrowed and must outlive the cursor.
#ifndef XRAY_EMSA_LINECURSOR_H
#define XRAY_EMSA_LINECURSOR_H

#include <cstddef>
#include <string_view>

namespace xray {

class LineCursor {
  public:
    explicit LineCursor(std::string_view text, size_t position = 0)
        : fText(text), fPosition(position < text.size() ? position : text.size()) {}

    // Sets `line` to the next line and returns true; at the end of the text returns false
    // and leaves `line` as it was.
    bool Next(std::string_view& line) {
        const size_t size = fText.size();
        if (fPosition >= size)
            return false;
        const char* data = fText.data();
        size_t end = fPosition;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        line = fText.substr(fPosition, end - fPosition);
        fPosition = end;
        if (end < size) {
            const bool crlf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
            fPosition += crlf ? 2 : 1;
        }
        return true;
    }

    // Offset of the next line's first character in the text.
    size_t position() const { return fPosition; }

  private:
    std::string_view fText;
    size_t fPosition;
};

}  // namespace xray

#endif  // XRAY_EMSA_LINECURSOR_H
