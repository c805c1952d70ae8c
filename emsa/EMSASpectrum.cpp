#include "emsa/EMSASpectrum.h"

#include <cctype>
#include <string_view>
#include <utility>

#include "emsa/NumberScanner.h"

namespace xray {

namespace {

constexpr std::string_view kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Month number from 0, or -1 when the name is none of the twelve (whole, case-insensitive).
int32_t MonthFromName(std::string_view name) {
    if (name.size() != 3)
        return -1;
    for (int32_t m = 0; m < 12; ++m) {
        bool same = true;
        for (size_t i = 0; i < 3; ++i) {
            same = same && std::toupper(static_cast<unsigned char>(name[i])) == kMonths[m][i];
        }
        if (same)
            return m;
    }
    return -1;
}

// The text before the first `mark`, and the text after it (empty when there is none).
std::pair<std::string_view, std::string_view> CutAt(std::string_view text, char mark) {
    const size_t at = text.find(mark);
    if (at == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

// "5-jan-2010". Without a second hyphen there is no year to read.
void ParseDayMonthYear(std::string_view value, CalendarTime& t) {
    const auto [day, rest] = CutAt(value, '-');
    ReadInt(day, t.day);
    const size_t hyphen = rest.find('-');
    t.month = MonthFromName(rest.substr(0, hyphen));
    if (hyphen != std::string_view::npos)
        ReadInt(rest.substr(hyphen + 1), t.year);
}

// "12/31/2009".
void ParseMonthDayYear(std::string_view value, CalendarTime& t) {
    const auto [month, rest] = CutAt(value, '/');
    int32_t number = 0;
    if (ReadInt(month, number))
        t.month = number - 1;
    const auto [day, year] = CutAt(rest, '/');
    ReadInt(day, t.day);
    ReadInt(year, t.year);
}

}  // namespace

bool ParseDate(std::string_view value, CalendarTime& acquired) {
    if (value.find('-') != std::string_view::npos) {
        ParseDayMonthYear(value, acquired);
    } else if (value.find('/') != std::string_view::npos) {
        ParseMonthDayYear(value, acquired);
    } else {
        acquired.month = -1;
        acquired.day = 0;
        acquired.year = 0;
    }
    return acquired.month >= 0;
}

bool ParseTime(std::string_view value, CalendarTime& acquired) {
    if (value.find(':') == std::string_view::npos) {
        acquired.hour = acquired.minute = acquired.second = 0;
        return false;
    }
    const auto [hour, rest] = CutAt(value, ':');
    ReadInt(hour, acquired.hour);
    if (rest.find(':') == std::string_view::npos) {
        ReadInt(rest, acquired.minute);
        acquired.second = 0;
        return true;
    }
    const auto [minute, second] = CutAt(rest, ':');
    ReadInt(minute, acquired.minute);
    ReadInt(second, acquired.second);
    return true;
}

void DeriveWindowType(EMSASpectrum& s) {
    if (s.tbewind > 0.0) {
        s.window_type = WindowType::Beryllium;
    } else if (s.thcwind > 0.0) {
        s.window_type = WindowType::Hydrocarbon;
    } else if (s.tdiwind > 0.0) {
        s.window_type = WindowType::Diamond;
    } else if (s.tbnwind > 0.0) {
        s.window_type = WindowType::BoronNitride;
    } else if (s.tpywind > 0.0) {
        s.window_type = WindowType::Polymer;
    } else {
        s.window_type = WindowType::Aluminium;
    }
}

void NormaliseEnergyUnits(EMSASpectrum& s) {
    if (s.signaltype == SignalType::EDS && s.xperchan > 1.0) {
        s.xperchan /= 1000.0;
        s.offset /= 1000.0;
        s.xunits = "keV";
    } else if (s.signaltype == SignalType::ELS && s.xperchan < 0.1) {
        s.xperchan *= 1000.0;
        s.offset *= 1000.0;
        s.xunits = "eV";
    }
}

}  // namespace xray
