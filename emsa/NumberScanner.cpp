#include "emsa/NumberScanner.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace xray {

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

// A double as a stream would consume it. While measuring, the mantissa's digits are
// gathered into an integer (up to 19 digits) so that most numbers need no general
// conversion.
struct DoubleText {
    const char* number = nullptr;    // first character for from_chars (a '+' is skipped)
    const char* exponent = nullptr;  // the exponent marker, or `end` without one
    const char* end = nullptr;       // one past the last character consumed
    bool negative = false;
    bool ok = false;     // the consumed characters form a complete number
    int digits = 0;      // mantissa digits, leading zeros included
    uint64_t value = 0;  // the mantissa digits as an integer (when digits <= 19)
    long power = 0;      // number = value x 10^power
};

const char* GatherDigits(DoubleText& x, const char* p, const char* end) {
    for (; p < end && IsDigit(*p); ++p) {
        if (x.digits < 19)
            x.value = x.value * 10 + static_cast<uint64_t>(*p - '0');
        ++x.digits;
    }
    return p;
}

// The exponent after its marker; returns false when it has no digits.
bool GatherExponent(DoubleText& x, const char*& p, const char* end) {
    bool negative = false;
    if (p < end && IsSign(*p))
        negative = *p++ == '-';
    const char* digits = p;
    long exponent = 0;
    for (; p < end && IsDigit(*p); ++p) {
        if (exponent < 100000)
            exponent = exponent * 10 + (*p - '0');
    }
    x.power += negative ? -exponent : exponent;
    return p != digits;
}

DoubleText MeasureDouble(const char* p, const char* end) {
    DoubleText x;
    x.number = p;
    if (p < end && IsSign(*p)) {
        x.negative = *p == '-';
        if (*p == '+')
            x.number = p + 1;
        ++p;
    }
    p = GatherDigits(x, p, end);
    if (p < end && *p == '.') {
        const int before = x.digits;
        p = GatherDigits(x, p + 1, end);
        x.power = before - x.digits;
    }
    x.exponent = x.end = p;
    if (x.digits == 0)
        return x;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool exponent = GatherExponent(x, p, end);
        x.end = p;
        if (!exponent)
            return x;
    }
    x.ok = true;
    return x;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Exact when the mantissa and the power of ten are both exactly representable: one
// correctly rounded multiplication or division then gives the correctly rounded value.
bool ConvertExactly(const DoubleText& x, double& value) {
    if (x.digits > 19 || x.value > (uint64_t{1} << 53) || x.power < -22 || x.power > 22) {
        return false;
    }
    const double mantissa = static_cast<double>(x.value);
    const double magnitude =
        x.power >= 0 ? mantissa * kPowersOfTen[x.power] : mantissa / kPowersOfTen[-x.power];
    value = x.negative ? -magnitude : magnitude;
    return true;
}

// Decimal position of the first significant digit relative to the point: negative when
// the number is below 0.1.
long DecimalMagnitude(const DoubleText& x) {
    const char* p = x.number;
    if (IsSign(*p))
        ++p;
    long magnitude = 0;
    while (p < x.exponent && *p == '0')
        ++p;
    if (p < x.exponent && *p == '.') {
        for (++p; p < x.exponent && *p == '0'; ++p)
            --magnitude;
    } else {
        for (; p < x.exponent && IsDigit(*p); ++p)
            ++magnitude;
    }
    if (x.exponent == x.end)
        return magnitude;
    DoubleText exponent;
    p = x.exponent + 1;
    GatherExponent(exponent, p, x.end);
    return magnitude + exponent.power;
}

bool ConvertGenerally(const DoubleText& x, double& value) {
    double parsed = 0.0;
    const std::from_chars_result r = std::from_chars(x.number, x.end, parsed);
    if (r.ec == std::errc() && r.ptr == x.end) {
        value = parsed;
        return true;
    }
    // Too small to represent: a stream gives zero; too large: a stream fails.
    if (r.ec == std::errc::result_out_of_range && DecimalMagnitude(x) < 0) {
        value = x.negative ? -0.0 : 0.0;
        return true;
    }
    return false;
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

// Plain fixed notation with few digits, by far the most common form in spectrum files,
// is converted here in one pass. Returns false, touching nothing, for any other form.
bool ScanPlainDouble(const char*& p, const char* end, double& value) {
    const char* q = SkipSpace(p, end);
    if (q == end)
        return false;
    const bool negative = *q == '-';
    if (IsSign(*q))
        ++q;
    uint64_t mantissa = 0;  // wraps for more than 19 digits, which are refused below
    const char* digits = q;
    for (unsigned d; q < end && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
        mantissa = mantissa * 10 + d;
    const long whole = q - digits;
    long fraction = 0;
    if (q < end && *q == '.') {
        const char* first = ++q;
        for (unsigned d; q < end && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
            mantissa = mantissa * 10 + d;
        fraction = q - first;
    }
    const bool exponent = q < end && (*q == 'e' || *q == 'E');
    if (exponent || whole + fraction == 0 || whole + fraction > 19 || fraction > 22 ||
        mantissa > (uint64_t{1} << 53)) {
        return false;
    }
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[fraction];
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

// The plain form of ScanPlainDouble. No bound is checked: every loop stops at the line
// break the caller guarantees, which is neither a digit nor a point.
bool ScanDoubleBeforeLineBreak(const char*& p, const char* end, double& value) {
    const char* q = p;
    const bool negative = *q == '-';
    if (IsSign(*q))
        ++q;
    uint64_t mantissa = 0;  // wraps for more than 19 digits, which are refused below
    const char* digits = q;
    for (unsigned d; (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
        mantissa = mantissa * 10 + d;
    const long whole = q - digits;
    long fraction = 0;
    if (*q == '.') {
        const char* first = ++q;
        for (unsigned d; (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
            mantissa = mantissa * 10 + d;
        fraction = q - first;
    }
    if (*q == 'e' || *q == 'E' || whole + fraction == 0 || whole + fraction > 19 || fraction > 22 ||
        mantissa > (uint64_t{1} << 53)) {
        return ScanDouble(p, end, value);
    }
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[fraction];
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

bool ScanDouble(const char*& p, const char* end, double& value) {
    if (ScanPlainDouble(p, end, value))
        return true;
    const DoubleText x = MeasureDouble(SkipSpace(p, end), end);
    p = x.end;
    if (!x.ok)
        return false;
    return ConvertExactly(x, value) || ConvertGenerally(x, value);
}

bool ReadInt(std::string_view text, int32_t& value) {
    const char* p = text.data();
    return ScanInt(p, p + text.size(), value);
}

bool ReadDouble(std::string_view text, double& value) {
    const char* p = text.data();
    return ScanDouble(p, p + text.size(), value);
}

}  // namespace xray
