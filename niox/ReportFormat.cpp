#include "niox/ReportFormat.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <system_error>

namespace xray {

const char* const kBlockEnd = "\n************************************************\n\n";

namespace {

// A stream's precision when it is set negative.
constexpr int kDefaultPrecision = 6;

// Room for any double in fixed notation without its decimals: a sign, 309 digits before
// the point and the point itself.
constexpr int kFixedRoom = 311;

// Room for any double in general notation without its digits: a sign, a point and an
// exponent such as "e-308", or in fixed form the zeros of "0.0000" before the first
// significant digit.
constexpr int kGeneralRoom = 16;

// Short texts are written into a buffer on the stack; only a precision beyond this asks
// for a larger one.
constexpr int kStackDigits = 64;

template <typename Write>
std::string WriteWithRoom(int room, Write write) {
    char stack[kFixedRoom + kStackDigits];
    if (room <= static_cast<int>(sizeof stack))
        return std::string(stack, write(stack, stack + sizeof stack));
    std::string text(static_cast<size_t>(room), '\0');
    text.resize(static_cast<size_t>(write(text.data(), text.data() + text.size()) - text.data()));
    return text;
}

// Infinities and not-a-numbers as the platform's streams write them, which differs between
// C libraries ("-nan" from glibc, "nan" from MinGW's for the same value); the reports print
// them as the streams always did there. Rare, so the stream's cost does not matter.
std::string NonFiniteText(double value, std::ios::fmtflags floatField, int precision) {
    std::ostringstream text;
    text.flags(floatField);
    text.precision(precision);
    text << value;
    return text.str();
}

}  // namespace

std::string Fixed(double value, int decimals) {
    const int precision = decimals < 0 ? kDefaultPrecision : decimals;
    if (!std::isfinite(value))
        return NonFiniteText(value, std::ios::fixed, precision);
    return WriteWithRoom(kFixedRoom + precision, [&](char* first, char* last) {
        return std::to_chars(first, last, value, std::chars_format::fixed, precision).ptr;
    });
}

std::string Significant(double value, int digits, int width) {
    const int precision = digits < 0 ? kDefaultPrecision : digits;
    std::string text =
        !std::isfinite(value)
            ? NonFiniteText(value, std::ios::fmtflags(), precision)
            : WriteWithRoom(kGeneralRoom + precision, [&](char* first, char* last) {
                  return std::to_chars(first, last, value, std::chars_format::general, precision)
                      .ptr;
              });
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

std::string SigmaErrorLines(const SigmaErrors& errors, int decimals, const char* gap,
                            const char* unit) {
    static const char* const kLabels[] = {"1sigma(68%):", "2sigma(95%):", "3sigma(99%):"};
    std::string lines;
    for (int k = 0; k < 3; ++k) {
        lines += "\n\t\tError ";
        lines += kLabels[k];
        lines += gap;
        lines += Fixed(errors[k], decimals);
        lines += unit;
    }
    return lines;
}

std::string MeasuredNiKIntensities(double net, double background) {
    return "\t\tMeasured intensities\n\t\tGross NiK peak: " + Fixed(net + background, 1) +
           " (count)\n\t\tNiK backgound:  " + Fixed(background, 1) +
           " (count)\n\t\tNet NiK peak:   " + Fixed(net, 1) + " (count)";
}

}  // namespace xray
