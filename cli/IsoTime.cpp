#include "cli/IsoTime.h"

#include <cstdio>

namespace xrayutils {

using xray::CalendarTime;

namespace {

// The digits of text[at, at + count) as a number, or -1 when any is not a digit.
int Digits(std::string_view text, size_t at, size_t count) {
    int value = 0;
    for (size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return -1;
        value = value * 10 + (text[k] - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {  // month from 0
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && IsLeapYear(year) ? 29 : kDays[month];
}

}  // namespace

bool IsCalendarTime(const CalendarTime& t) {
    return t.year >= 1000 && t.year <= 9999 && t.month >= 0 && t.month <= 11 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

bool IsIsoDay(std::string_view text) {
    return text.size() == 10 && ParseIsoTime(text).has_value();
}

std::optional<CalendarTime> ParseIsoTime(std::string_view text) {
    // YYYY-MM-DD[Thh:mm[:ss]]
    //           10   13  16
    if (text.size() != 10 && text.size() != 16 && text.size() != 19)
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-')
        return std::nullopt;
    CalendarTime t;
    t.year = Digits(text, 0, 4);
    t.month = Digits(text, 5, 2) - 1;
    t.day = Digits(text, 8, 2);
    t.hour = t.minute = t.second = 0;
    if (text.size() >= 16) {
        if ((text[10] != 'T' && text[10] != ' ') || text[13] != ':')
            return std::nullopt;
        t.hour = Digits(text, 11, 2);
        t.minute = Digits(text, 14, 2);
    }
    if (text.size() == 19) {
        if (text[16] != ':')
            return std::nullopt;
        t.second = Digits(text, 17, 2);
    }
    if (!IsCalendarTime(t))
        return std::nullopt;
    return t;
}

std::string IsoTimeText(const CalendarTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", static_cast<int>(t.year),
                  static_cast<int>(t.month + 1), static_cast<int>(t.day), static_cast<int>(t.hour),
                  static_cast<int>(t.minute), static_cast<int>(t.second));
    return text;
}

}  // namespace xrayutils
