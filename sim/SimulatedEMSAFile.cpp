#include "sim/SimulatedEMSAFile.h"

#include <locale>
#include <sstream>

namespace xray {

namespace {

constexpr size_t kKeywordField = 12;  // columns 2 to 13, after the '#'

std::string Number(double value) {
    std::ostringstream out;
    out.exceptions(std::ios_base::badbit);  // a failed allocation must not cut the text short
    out.imbue(std::locale::classic());
    out.precision(10);
    out << value;
    return out.str();
}

std::string TwoDigits(int32_t value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// DATE as dd-MMM-yyyy, TIME as hh:mm[:ss].
std::string EmsaDate(const CalendarTime& t) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return TwoDigits(t.day) + "-" + kMonths[t.month] + "-" + std::to_string(t.year);
}

std::string EmsaTime(const CalendarTime& t) {
    return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) +
           (t.second != 0 ? ":" + TwoDigits(t.second) : std::string());
}

}  // namespace

CalendarTime SimulatedAcquisitionTime() {
    CalendarTime t;
    t.year = 2026;
    t.month = 0;
    t.day = 1;
    t.hour = 12;
    t.minute = 0;
    t.second = 0;
    return t;
}

std::string EMSAHeaderLine(const std::string& keyword, const std::string& unit,
                           const std::string& value) {
    std::string field = keyword;
    const std::string suffix = unit.empty() ? std::string() : "-" + unit;
    if (field.size() + suffix.size() < kKeywordField)
        field.append(kKeywordField - field.size() - suffix.size(), ' ');
    return "#" + field + suffix + ": " + value + "\n";
}

std::string WriteSimulatedEMSAText(const SimulatedNiOxSpectrum& s, const std::string& title,
                                   const CalendarTime& acquired) {
    const NiOxSimulationParameters& p = s.parameters;
    std::string text;
    text += EMSAHeaderLine("FORMAT", "", "EMSA/MAS Spectral Data File");
    text += EMSAHeaderLine("VERSION", "", "1.0");
    text += EMSAHeaderLine("TITLE", "", title);
    text += EMSAHeaderLine("DATE", "", EmsaDate(acquired));
    text += EMSAHeaderLine("TIME", "", EmsaTime(acquired));
    text += EMSAHeaderLine("OWNER", "", "xrayutils simulate-niox");
    text += EMSAHeaderLine("NPOINTS", "", Number(p.channels));
    text += EMSAHeaderLine("NCOLUMNS", "", "1");
    text += EMSAHeaderLine("XUNITS", "", "eV");
    text += EMSAHeaderLine("YUNITS", "", "counts");
    text += EMSAHeaderLine("DATATYPE", "", "Y");
    text += EMSAHeaderLine("XPERCHAN", "", Number(kSimulatedChannelWidth * 1000.0));
    text += EMSAHeaderLine("OFFSET", "", "0.0");
    text += EMSAHeaderLine("SIGNALTYPE", "", "EDS");
    text += EMSAHeaderLine("BEAMKV", "kV", Number(p.beamVoltage));
    text += EMSAHeaderLine("PROBECUR", "nA", Number(p.probeCurrent));
    text += EMSAHeaderLine("LIVETIME", "s", Number(p.liveTime));
    text += EMSAHeaderLine("REALTIME", "s", Number(p.realTime));
    text += EMSAHeaderLine("XTILTSTGE", "dg", Number(p.xTilt));
    text += EMSAHeaderLine("YTILTSTGE", "dg", Number(p.yTilt));
    text += EMSAHeaderLine("SPECTRUM", "", "Spectral Data Starts Here");
    for (double count : s.counts)
        text += Number(count) + "\n";
    text += EMSAHeaderLine("ENDOFDATA", "", "");
    return text;
}

}  // namespace xray
