#include "emsa/LineReader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace xray {

LineReader::LineReader(std::string_view text) : fData(text.data()), fFilled(text.size()) {}

LineReader::LineReader(std::istream& in, size_t blockSize)
    : fIn(&in), fBlockSize(blockSize == 0 ? 1 : blockSize), fExhausted(false) {
    fBuffer.resize(fBlockSize);
    fData = fBuffer.data();
}

bool LineReader::Refill(size_t count) {
    while (fFilled - fPosition < count && !fExhausted) {
        const size_t unread = fFilled - fPosition;
        // At the end of the text nothing is moved and the read delivers nothing, so the
        // last line handed out stays intact.
        if (fPosition != 0) {
            std::memmove(fBuffer.data(), fBuffer.data() + fPosition, unread);
            fPosition = 0;
            fFilled = unread;
        }
        // Doubling keeps a line of any length linear to read.
        if (fBuffer.size() - fFilled < std::max<size_t>(fBlockSize / 2, 1))
            fBuffer.resize(std::max(2 * fBuffer.size(), fFilled + fBlockSize));
        fData = fBuffer.data();
        fIn->read(fBuffer.data() + fFilled, static_cast<std::streamsize>(fBuffer.size() - fFilled));
        fFilled += static_cast<size_t>(fIn->gcount());
        if (fIn->bad())
            throw std::ios_base::failure("the stream failed while it was read");
        fExhausted = !fIn->good();
    }
    return fFilled - fPosition >= count;
}

size_t LineReader::FindLineEnd() {
    // In windows of a few hundred characters, the first line feed and then the first
    // carriage return before it: scans the C library does many characters at a time. The
    // window keeps text with only carriage returns from being searched to its end for a
    // line feed at every line.
    constexpr size_t kWindow = 256;
    const char* at = fData + fPosition + fSearched;
    const char* const last = fData + fFilled;
    const char* lineEnd = last;
    while (at != last) {
        const size_t size = std::min(kWindow, static_cast<size_t>(last - at));
        const void* feed = std::memchr(at, '\n', size);
        const char* const stop = feed != nullptr ? static_cast<const char*>(feed) : at + size;
        if (const void* ret = std::memchr(at, '\r', static_cast<size_t>(stop - at))) {
            lineEnd = static_cast<const char*>(ret);
            break;
        }
        if (feed != nullptr) {
            lineEnd = stop;
            break;
        }
        at = stop;
    }
    const size_t end = static_cast<size_t>(lineEnd - fData);
    // A carriage return read last may be the first half of CR LF.
    if (end == fFilled || (fData[end] == '\r' && end + 1 == fFilled)) {
        if (fExhausted)
            return end;
        fSearched = end - fPosition;  // the search goes on from here once more is read
        return std::string::npos;
    }
    return end;
}

size_t LineReader::LineEndingLength(size_t end) const {
    if (end == fFilled)
        return 0;
    return fData[end] == '\r' && end + 1 < fFilled && fData[end + 1] == '\n' ? 2 : 1;
}

bool LineReader::Next(std::string_view& line) {
    size_t end = FindLineEnd();
    while (end == std::string::npos) {
        Refill(fFilled - fPosition + 1);
        end = FindLineEnd();
    }
    if (fPosition == fFilled)
        return false;
    line = std::string_view(fData + fPosition, end - fPosition);
    fPosition = end + LineEndingLength(end);
    fSearched = 0;
    return true;
}

}  // namespace xray
