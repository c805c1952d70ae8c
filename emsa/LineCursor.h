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
        : text_(text), position_(position < text.size() ? position : text.size()) {}

    // Sets `line` to the next line and returns true; at the end of the text returns false
    // and leaves `line` as it was.
    bool Next(std::string_view& line) {
        const size_t size = text_.size();
        if (position_ >= size)
            return false;
        const char* data = text_.data();
        size_t end = position_;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        line = text_.substr(position_, end - position_);
        position_ = end;
        if (end < size) {
            const bool crlf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
            position_ += crlf ? 2 : 1;
        }
        return true;
    }

    // Offset of the next line's first character in the text.
    size_t position() const { return position_; }

  private:
    std::string_view text_;
    size_t position_;
};

}  // namespace xray

#endif  // XRAY_EMSA_LINECURSOR_H
