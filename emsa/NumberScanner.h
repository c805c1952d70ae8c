// NumberScanner: reads decimal numbers out of text exactly as a standard input stream
// extracts an `int` or a `double` in the classic locale, without building a stream.
//
// Accepted: leading white space (blank, tab, line feed, carriage return, vertical tab,
// form feed) skipped; an optional sign; digits; for doubles an optional decimal point with
// digits on either side and an optional exponent (e or E, optional sign, digits). Not
// accepted: hexadecimal, "inf", "nan", a sign without digits, an exponent marker without
// digits ("1e" fails, as it does for a stream), an int out of the 32-bit range, a double
// whose magnitude overflows. A double too small to represent reads as zero of its sign.
//
// Unlike a modern stream, a failed read never touches the variable: callers rely on a
// failed read keeping the previous value. Reading stops at the first character that
// cannot continue the number; the rest of the text is left alone. Nothing here throws or
// allocates.
#ifndef XRAY_EMSA_NUMBERSCANNER_H
#define XRAY_EMSA_NUMBERSCANNER_H

#include <cstdint>
#include <string_view>

namespace xray {

// Scan one number starting at p. On return p points past everything the stream would
// have consumed (also on failure). Returns true and sets value on success.
bool ScanInt(const char*& p, const char* end, int32_t& value);
bool ScanDouble(const char*& p, const char* end, double& value);

// ScanDouble for a caller that knows a line break ('\n' or '\r') lies between p and `end`
// and that p is at no white space: the same result and the same p on return, with plain
// numbers read without checking for the end of the text at every character.
bool ScanDoubleBeforeLineBreak(const char*& p, const char* end, double& value);

// The same, reading from the start of a text and ignoring what follows the number.
bool ReadInt(std::string_view text, int32_t& value);
bool ReadDouble(std::string_view text, double& value);

// LineScanner: one data line read number by number, with a stream's sticky failure: once
// a read has failed, every later read of the same line fails too and leaves its variable
// alone. The line is borrowed and must outlive the scanner.
class LineScanner {
  public:
    explicit LineScanner(std::string_view line)
        : fP(line.data()), fEnd(line.data() + line.size()) {}

    bool Number(double& value) {
        if (fFailed)
            return false;
        fFailed = !ScanDouble(fP, fEnd, value);
        return !fFailed;
    }

    // After a number: skip blanks, then consume one separator character only when it
    // cannot begin a number. So "1,2", "1 , 2" and "1 2" all read as 1 then 2. A missing
    // separator at the end of the line is no failure.
    void SkipSeparator() {
        while (fP < fEnd && (*fP == ' ' || *fP == '\t'))
            ++fP;
        if (fP == fEnd)
            return;
        const char c = *fP;
        const bool startsNumber = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!startsNumber)
            ++fP;
    }

    bool failed() const { return fFailed; }

  private:
    const char* fP;
    const char* fEnd;
    bool fFailed = false;
};

}  // namespace xray

#endif  // XRAY_EMSA_NUMBERSCANNER_H
