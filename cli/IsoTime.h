// IsoTime: acquisition times as the QC history writes them, ISO 8601 local times without a
// zone, "YYYY-MM-DDThh:mm:ss", so that their order as texts is their order in time.
//
// ParseIsoTime takes "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or "YYYY-MM-DDThh:mm:ss" (a space may
// stand for the T) and gives the calendar time, a day alone at 00:00:00; it gives nothing
// for any other text or for a day that is not in the calendar. Nothing here throws except
// std::bad_alloc.
#ifndef XRAY_CLI_ISOTIME_H
#define XRAY_CLI_ISOTIME_H

#include <optional>
#include <string>
#include <string_view>

#include "emsa/EMSASpectrum.h"

namespace xrayutils {

std::optional<xray::CalendarTime> ParseIsoTime(std::string_view text);

// Whether `text` names a day without a time of day ("YYYY-MM-DD").
bool IsIsoDay(std::string_view text);

// "YYYY-MM-DDThh:mm:ss" of a calendar time (CalendarTime counts months from 0).
std::string IsoTimeText(const xray::CalendarTime& time);

// Whether the fields form a calendar time: a year of four digits, a day of its month, a
// second up to 60 (a leap second).
bool IsCalendarTime(const xray::CalendarTime& time);

}  // namespace xrayutils

#endif  // XRAY_CLI_ISOTIME_H
