// EMSASpectrum: one spectrum read from an EMSA/MAS file (ISO 22029), as a plain value.
//
// The record owns all its members. It starts with the defaults below, receives the header
// line by line through ApplyHeaderLine (the keyword table), is normalised once by
// DeriveWindowType and then NormaliseEnergyUnits, and finally gets its channel values from
// the reader (EMSAReader.h). Header values are stored already converted to the units the
// rest of the system expects: beamkv in kV, emission in uA, probecur in nA, xperchan and
// offset in keV for EDS and eV for ELS once normalised; values marked "as written" keep
// the file's unit.
//
// Nothing here throws except std::bad_alloc. Unknown keywords, unknown choice values and
// unknown units are ignored or mapped to 0; a numeric value that does not begin with a
// number keeps the member's previous value.
#ifndef XRAY_EMSA_EMSASPECTRUM_H
#define XRAY_EMSA_EMSASPECTRUM_H

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "array/Array1D.h"

namespace xray {

// 0 always means "not given or not recognised".
enum class SignalType : int32_t { None = 0, EDS = 1, ELS = 2, CLS = 3 };
enum class OperMode : int32_t { None = 0, IMAGE = 1, DIFFR = 2, SCIMG = 3, SCDIF = 4 };
enum class ElsDetector : int32_t { None = 0, PARALL = 1, SERIAL = 2 };
enum class EdsDetector : int32_t {
    None = 0,
    SIBEW = 1,
    SIUTW = 2,  // also written SILI
    SIWLS = 3,
    GEBEW = 4,
    GEUTW = 5,
    GEWLS = 6
};

// The detector window, chosen from the window thicknesses by DeriveWindowType.
enum class WindowType : int32_t {
    Beryllium = 0,     // tbewind
    Aluminium = 1,     // talwind; also "no window"
    Polymer = 2,       // tpywind
    BoronNitride = 3,  // tbnwind
    Diamond = 4,       // tdiwind
    Hydrocarbon = 5    // thcwind
};

// Acquisition date and start time; every member is -1 until set. Nothing is
// range-checked; month counts from 0 (January), year is kept as written.
struct CalendarTime {
    int32_t second = -1;
    int32_t minute = -1;
    int32_t hour = -1;
    int32_t day = -1;
    int32_t month = -1;
    int32_t year = -1;
};

struct EMSASpectrum {
    std::string title;
    std::string owner;
    std::string xunits;
    std::string yunits;  // "Counts" once a YUNITS line was seen
    CalendarTime acquired;
    int32_t npoints = 0;
    int32_t ncolumns = 0;
    bool xy = false;  // data lines hold x, y pairs
    double xperchan = 0.0;
    double offset = 0.0;
    SignalType signaltype = SignalType::None;
    int32_t choffset = 0;
    std::string xlabel;
    std::string ylabel;
    std::vector<std::string> comments;  // one per COMMENT line, in file order
    OperMode opermode = OperMode::None;
    double beamkv = 0.0;    // kV
    double emission = 0.0;  // uA
    double probecur = 0.0;  // nA
    double beamdiam = 0.0;
    double magcam = 0.0;
    double convangle = 0.0;
    double thickness = 0.0;
    double xtiltstge = 0.0;
    double ytiltstge = 0.0;
    double xposition = 0.0;
    double yposition = 0.0;
    double zposition = 0.0;
    ElsDetector elsdet = ElsDetector::None;
    double dwelltime = 0.0;  // DWELLTIME (serial) or INTEGTIME (parallel)
    double collangle = 0.0;
    EdsDetector edsdet = EdsDetector::None;
    double elevangle = 0.0;
    double azimangle = 0.0;
    double solidangle = 0.0;
    double livetime = 0.0;  // s
    double realtime = 0.0;  // s
    double tdeadlyr = 0.0;
    double tactlyr = 0.0;
    double tauwind = 0.0;
    double tbewind = 0.0;
    double talwind = 0.0;
    double tpywind = 0.0;
    double tbnwind = 0.0;
    double tdiwind = 0.0;
    double thcwind = 0.0;
    WindowType window_type = WindowType::Aluminium;  // meaningful after DeriveWindowType
    std::set<std::string> keywordsRead;  // header keywords whose value was read, upper case
    Array1D<double> channels;            // channel 0 first
};

// Applies one header line already cut by SplitHeaderLine: `keyword` upper-cased, `unit`
// the text after the keyword's hyphen, `value` the value text. A keyword that occurs
// again overwrites (COMMENT appends). "SPECTRUM" is the reader's business, not handled.
void ApplyHeaderLine(EMSASpectrum& spectrum, std::string_view keyword, std::string_view unit,
                     std::string_view value);

// DATE: "day-Mon-year" or "month/day/year"; anything else gives month -1, day 0, year 0.
// Returns whether the month was recognised.
bool ParseDate(std::string_view value, CalendarTime& acquired);

// TIME: "hour:minute[:second]"; an empty value or one without a colon gives all zeros.
// Returns whether the value had the form of a time.
bool ParseTime(std::string_view value, CalendarTime& acquired);

// Picks the window from the positive thicknesses: beryllium first, then hydrocarbon,
// diamond, boron nitride, polymer; aluminium (or no window) when none is positive.
void DeriveWindowType(EMSASpectrum& spectrum);

// Decides the energy unit from the size of xperchan: EDS above 1.0 per channel is taken
// as eV and turned into keV; ELS below 0.1 per channel is taken as keV and turned into
// eV. Run exactly once per spectrum: it is not idempotent.
void NormaliseEnergyUnits(EMSASpectrum& spectrum);

}  // namespace xray

#endif  // XRAY_EMSA_EMSASPECTRUM_H
