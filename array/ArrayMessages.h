// The message texts of the arrays' checked operations, and the exception that carries
// them. The texts are fixed, spelling included; a two-line text is the first line, a
// blank, a line break, a tab, nine blanks and the second line.
#ifndef XRAY_ARRAY_ARRAYMESSAGES_H
#define XRAY_ARRAY_ARRAYMESSAGES_H

#include <stdexcept>

namespace xray {

namespace ArrayMessages {
extern const char* const kDimensionOutOfRange;
extern const char* const kPositionOutOfRange;
extern const char* const kSubarrayOutOfRange;
}  // namespace ArrayMessages

// Thrown by a checked array operation whose precondition does not hold.
class ArrayError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

}  // namespace xray

#endif  // XRAY_ARRAY_ARRAYMESSAGES_H
