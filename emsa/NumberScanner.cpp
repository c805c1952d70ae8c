#include "emsa/NumberScanner.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space as the classic locale's isspace sees it.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsSign(char c) {
    return c == '+' || c == '-';
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

const char* SkipDigits(const char* p, const char* end) {
    while (p < end && IsDigit(*p))
        ++p;
    return p;
}

// The extent of a double in stream syntax; `ok` is false when the characters a stream
// would consume do not form a complete number.
struct DoubleExtent {
    const char* number;    // first character given to from_chars (a '+' is skipped)
    const char* mantissa;  // first digit or point of the mantissa
    const char* exponent;  // the exponent marker, or `end` when there is none
    const char* end;       // one past the last character consumed
    bool negative;
    bool ok;
};

DoubleExtent MeasureDouble(const char* p, const char* end) {
    DoubleExtent x{p, p, nullptr, p, false, false};
    if (p < end && IsSign(*p)) {
        x.negative = *p == '-';
        x.number = *p == '+' ? p + 1 : p;
        ++p;
    }
    x.mantissa = p;
    const char* q = SkipDigits(p, end);
    bool digits = q != p;
    if (q < end && *q == '.') {
        const char* frac = q + 1;
        q = SkipDigits(frac, end);
        digits = digits || q != frac;
    }
    x.exponent = x.end = q;
    if (!digits)
        return x;
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e < end && IsSign(*e))
            ++e;
        const char* after = SkipDigits(e, end);
        x.end = after;
        if (after == e)
            return x;
    }
    x.ok = true;
    return x;
}

// Decimal magnitude of a number from_chars found out of range: negative means it
// underflowed (all its significant digits lie far right of the point).
long DecimalMagnitude(const DoubleExtent& x) {
    const char* p = x.mantissa;
    long magnitude = 0;
    while (p < x.exponent && *p == '0')
        ++p;
    if (p < x.exponent && *p == '.') {
        ++p;
        while (p < x.exponent && *p == '0') {
            ++p;
            --magnitude;
        }
    } else {
        while (p < x.exponent && IsDigit(*p)) {
            ++p;
            ++magnitude;
        }
    }
    if (x.exponent == x.end)
        return magnitude;
    long exponent = 0;
    bool negative = false;
    p = x.exponent + 1;
    if (IsSign(*p))
        negative = *p++ == '-';
    for (; p < x.end && exponent < 100000; ++p)
        exponent = exponent * 10 + (*p - '0');
    return magnitude + (negative ? -exponent : exponent);
}

}  // namespace

bool ScanInt(const char*& p, const char* end, int32_t& value) {
    const char* q = SkipSpace(p, end);
    bool negative = false;
    if (q < end && IsSign(*q))
        negative = *q++ == '-';
    const char* digits = q;
    q = SkipDigits(q, end);
    p = q;
    if (q == digits)
        return false;
    uint64_t magnitude = 0;
    if (std::from_chars(digits, q, magnitude).ec != std::errc())
        return false;
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (magnitude > limit)
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

bool ScanDouble(const char*& p, const char* end, double& value) {
    const DoubleExtent x = MeasureDouble(SkipSpace(p, end), end);
    p = x.end;
    if (!x.ok)
        return false;
    double parsed = 0.0;
    const std::from_chars_result r = std::from_chars(x.number, x.end, parsed);
    if (r.ec == std::errc() && r.ptr == x.end) {
        value = parsed;
        return true;
    }
    if (r.ec == std::errc::result_out_of_range && DecimalMagnitude(x) < 0) {
        value = x.negative ? -0.0 : 0.0;
        return true;
    }
    return false;
}

bool ReadInt(std::string_view text, int32_t& value) {
    const char* p = text.data();
    return ScanInt(p, p + text.size(), value);
}

bool ReadDouble(std::string_view text, double& value) {
    const char* p = text.data();
    return ScanDouble(p, p + text.size(), value);
}

void LineScanner::SkipSeparator() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t'))
        ++p_;
    if (p_ == end_)
        return;
    const char c = *p_;
    if (!IsDigit(c) && !IsSign(c) && c != '.')
        ++p_;
}
