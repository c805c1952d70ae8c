// The keyword table: which header keyword sets which member of EMSASpectrum, how its
// value text is read and which unit conversion applies.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "emsa/EMSASpectrum.h"
#include "emsa/NumberScanner.h"

namespace xray {

namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A choice value matches only when the whole upper-cased text equals one of the names;
// no match gives 0.
template <typename Enum>
struct ChoiceName {
    std::string_view name;
    Enum value;
};

template <typename Enum, size_t N>
Enum ReadChoice(std::string_view value, const ChoiceName<Enum> (&names)[N]) {
    const std::string upper = UpperCase(value);
    for (const ChoiceName<Enum>& n : names) {
        if (upper == n.name)
            return n.value;
    }
    return Enum::None;
}

constexpr ChoiceName<SignalType> kSignalTypes[] = {
    {"EDS", SignalType::EDS}, {"ELS", SignalType::ELS}, {"CLS", SignalType::CLS}};

constexpr ChoiceName<OperMode> kOperModes[] = {{"IMAGE", OperMode::IMAGE},
                                               {"IMAG", OperMode::IMAGE},
                                               {"DIFFR", OperMode::DIFFR},
                                               {"SCIMG", OperMode::SCIMG},
                                               {"SCDIF", OperMode::SCDIF}};

constexpr ChoiceName<ElsDetector> kElsDetectors[] = {{"PARALL", ElsDetector::PARALL},
                                                     {"SERIAL", ElsDetector::SERIAL}};

constexpr ChoiceName<EdsDetector> kEdsDetectors[] = {
    {"SIBEW", EdsDetector::SIBEW}, {"SIUTW", EdsDetector::SIUTW}, {"SILI", EdsDetector::SIUTW},
    {"SIWLS", EdsDetector::SIWLS}, {"GEBEW", EdsDetector::GEBEW}, {"GEUTW", EdsDetector::GEUTW},
    {"GEWLS", EdsDetector::GEWLS}};

// Reals stored as written, in the file's unit.
struct RealMember {
    std::string_view keyword;
    double EMSASpectrum::*member;
};

constexpr RealMember kRealMembers[] = {
    {"XPERCHAN", &EMSASpectrum::xperchan},     {"OFFSET", &EMSASpectrum::offset},
    {"BEAMDIAM", &EMSASpectrum::beamdiam},     {"MAGCAM", &EMSASpectrum::magcam},
    {"CONVANGLE", &EMSASpectrum::convangle},   {"THICKNESS", &EMSASpectrum::thickness},
    {"XTILTSTGE", &EMSASpectrum::xtiltstge},   {"YTILTSTGE", &EMSASpectrum::ytiltstge},
    {"XPOSITION", &EMSASpectrum::xposition},   {"YPOSITION", &EMSASpectrum::yposition},
    {"ZPOSITION", &EMSASpectrum::zposition},   {"COLLANGLE", &EMSASpectrum::collangle},
    {"ELEVANGLE", &EMSASpectrum::elevangle},   {"AZIMANGLE", &EMSASpectrum::azimangle},
    {"SOLIDANGLE", &EMSASpectrum::solidangle}, {"LIVETIME", &EMSASpectrum::livetime},
    {"REALTIME", &EMSASpectrum::realtime},     {"TDEADLYR", &EMSASpectrum::tdeadlyr},
    {"TACTLYR", &EMSASpectrum::tactlyr},       {"TAUWIND", &EMSASpectrum::tauwind},
    {"TBEWIND", &EMSASpectrum::tbewind},       {"TALWIND", &EMSASpectrum::talwind},
    {"TPYWIND", &EMSASpectrum::tpywind},       {"TBNWIND", &EMSASpectrum::tbnwind},
    {"TDIWIND", &EMSASpectrum::tdiwind},       {"THCWIND", &EMSASpectrum::thcwind}};

struct TextMember {
    std::string_view keyword;
    std::string EMSASpectrum::*member;
};

constexpr TextMember kTextMembers[] = {{"TITLE", &EMSASpectrum::title},
                                       {"OWNER", &EMSASpectrum::owner},
                                       {"XUNITS", &EMSASpectrum::xunits},
                                       {"XLABEL", &EMSASpectrum::xlabel},
                                       {"YLABEL", &EMSASpectrum::ylabel}};

// CHOFFSET 0 stands for "work it out from OFFSET and XPERCHAN read so far". Without a
// channel width, or when the ratio is no channel number at all, it stays 0.
int32_t ZeroEnergyChannel(const EMSASpectrum& s) {
    if (s.xperchan == 0.0)
        return 0;
    const double channel = (0.0 - s.offset) / s.xperchan;
    if (!(channel > -2147483649.0 && channel < 2147483648.0))
        return 0;
    return static_cast<int32_t>(channel);
}

bool ApplyChannelOffset(EMSASpectrum& s, std::string_view value) {
    int32_t channel = 0;
    if (!ReadInt(value, channel))
        return false;
    s.choffset = channel != 0 ? channel : ZeroEnergyChannel(s);
    return true;
}

// Result in kV; the unit is case-insensitive here (mv means MV).
bool ApplyBeamVoltage(EMSASpectrum& s, std::string_view unit, std::string_view value) {
    double kv = 0.0;
    if (!ReadDouble(value, kv))
        return false;
    const std::string upper = UpperCase(unit);
    if (upper == "V")
        kv /= 1000.0;
    if (upper == "MV")
        kv *= 1000.0;
    s.beamkv = kv;
    return true;
}

// Result in uA; the unit is compared as written.
bool ApplyEmission(EMSASpectrum& s, std::string_view unit, std::string_view value) {
    double ua = 0.0;
    if (!ReadDouble(value, ua))
        return false;
    if (unit == "nA")
        ua /= 1000.0;
    if (unit == "mA")
        ua *= 1000.0;
    s.emission = ua;
    return true;
}

// Result in nA; the unit is compared as written.
bool ApplyProbeCurrent(EMSASpectrum& s, std::string_view unit, std::string_view value) {
    double na = 0.0;
    if (!ReadDouble(value, na))
        return false;
    if (unit == "uA")
        na *= 1000.0;
    s.probecur = na;
    return true;
}

// DWELLTIME belongs to a serial spectrometer, INTEGTIME to a parallel one; which one the
// file has must already be known from an earlier ELSDET line.
bool ApplyDwellTime(EMSASpectrum& s, std::string_view value, ElsDetector needed) {
    return s.elsdet == needed && ReadDouble(value, s.dwelltime);
}

// Keywords with a rule of their own; each says whether it read a value.
using Rule = bool (*)(EMSASpectrum&, std::string_view unit, std::string_view value);

struct SpecialKeyword {
    std::string_view keyword;
    Rule apply;
};

template <typename Enum, size_t N>
bool ApplyChoice(Enum& member, std::string_view value, const ChoiceName<Enum> (&names)[N]) {
    member = ReadChoice(value, names);
    return member != Enum::None;
}

const SpecialKeyword kSpecialKeywords[] = {
    {"COMMENT", [](EMSASpectrum& s, auto, auto v) { return s.comments.emplace_back(v), true; }},
    {"YUNITS", [](EMSASpectrum& s, auto, auto) { return s.yunits = "Counts", true; }},
    {"DATE", [](EMSASpectrum& s, auto, auto v) { return ParseDate(v, s.acquired); }},
    {"TIME", [](EMSASpectrum& s, auto, auto v) { return ParseTime(v, s.acquired); }},
    {"NPOINTS", [](EMSASpectrum& s, auto, auto v) { return ReadInt(v, s.npoints); }},
    {"NCOLUMNS", [](EMSASpectrum& s, auto, auto v) { return ReadInt(v, s.ncolumns); }},
    {"CHOFFSET", [](EMSASpectrum& s, auto, auto v) { return ApplyChannelOffset(s, v); }},
    {"DATATYPE", [](EMSASpectrum& s, auto, auto v) { return s.xy = UpperCase(v) == "XY", true; }},
    {"SIGNALTYPE",
     [](EMSASpectrum& s, auto, auto v) { return ApplyChoice(s.signaltype, v, kSignalTypes); }},
    {"OPERMODE",
     [](EMSASpectrum& s, auto, auto v) { return ApplyChoice(s.opermode, v, kOperModes); }},
    {"ELSDET",
     [](EMSASpectrum& s, auto, auto v) { return ApplyChoice(s.elsdet, v, kElsDetectors); }},
    {"EDSDET",
     [](EMSASpectrum& s, auto, auto v) { return ApplyChoice(s.edsdet, v, kEdsDetectors); }},
    {"BEAMKV", ApplyBeamVoltage},
    {"EMISSION", ApplyEmission},
    {"PROBECUR", ApplyProbeCurrent},
    {"DWELLTIME",
     [](EMSASpectrum& s, auto, auto v) { return ApplyDwellTime(s, v, ElsDetector::SERIAL); }},
    {"INTEGTIME",
     [](EMSASpectrum& s, auto, auto v) { return ApplyDwellTime(s, v, ElsDetector::PARALL); }},
};

}  // namespace

void ApplyHeaderLine(EMSASpectrum& spectrum, std::string_view keyword, std::string_view unit,
                     std::string_view value) {
    for (const TextMember& t : kTextMembers) {
        if (keyword == t.keyword) {
            spectrum.*t.member = std::string(value);
            spectrum.keywordsRead.emplace(keyword);
            return;
        }
    }
    for (const RealMember& r : kRealMembers) {
        if (keyword == r.keyword) {
            if (ReadDouble(value, spectrum.*r.member))
                spectrum.keywordsRead.emplace(keyword);
            return;
        }
    }
    for (const SpecialKeyword& k : kSpecialKeywords) {
        if (keyword == k.keyword) {
            if (k.apply(spectrum, unit, value))
                spectrum.keywordsRead.emplace(keyword);
            return;
        }
    }
}

}  // namespace xray
