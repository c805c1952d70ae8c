#include "cli/EmsaHeader.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "cli/ImageDescription.h"

namespace xrayutils {
namespace {

using dmhost::TagKind;
using dmhost::TagValue;

const char* const kMonthNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The thickness keyword of each window type, in the order of the types.
const char* const kWindowKeywords[] = {"TBEWIND", "TALWIND", "TPYWIND",
                                       "TBNWIND", "TDIWIND", "THCWIND"};

enum class Signal { kNone, kEDS, kELS };

constexpr int kSecondsPerDay = 24 * 60 * 60;

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

const TagValue* FindTag(const dmhost::ImageSnapshot& image, const char* path, TagKind kind) {
    const TagValue* tag = image.tags.Find(path);
    return tag != nullptr && tag->kind == kind ? tag : nullptr;
}

std::string TagText(const dmhost::ImageSnapshot& image, const char* path) {
    const TagValue* tag = FindTag(image, path, TagKind::kString);
    return tag != nullptr ? tag->text : std::string();
}

// The import writes an energy-loss channel width in eV into the calibration and in kV into
// "Dispersion (kV)", every other one the same into both. The tolerance covers the
// calibration's 4-byte real and is far below the factor of 1000.
bool DispersionIsElectronVoltsInKiloVolts(const dmhost::ImageSnapshot& image, float scale) {
    const TagValue* dispersion =
        FindTag(image, "EDS:Acquisition:Dispersion (kV)", TagKind::kDouble);
    if (dispersion == nullptr || scale == 0.0f || !std::isfinite(scale))
        return false;
    const double inElectronVolts = dispersion->doubleValue * 1000.0;
    return std::fabs(inElectronVolts - scale) <= 1e-6 * std::fabs(scale);
}

Signal SignalOf(const dmhost::ImageSnapshot& image,
                const dmhost::DimensionCalibration& calibration) {
    const std::string detector = TagText(image, "EDS:Detector info:Detector type");
    if (detector == "PARALL" || detector == "SERIAL" ||
        DispersionIsElectronVoltsInKiloVolts(image, calibration.scale))
        return Signal::kELS;
    return calibration.units == "keV" ? Signal::kEDS : Signal::kNone;
}

// The second of the day of a clock text "h:m:s AM" as the import writes it; -1 when it is
// not a time of day.
int SecondOfDay(const std::string& clockText) {
    int clockHour = 0;
    int minute = 0;
    int second = 0;
    char suffix[3] = {};
    int used = 0;
    if (std::sscanf(clockText.c_str(), "%d:%d:%d %2[AMP]%n", &clockHour, &minute, &second, suffix,
                    &used) != 4 ||
        used != static_cast<int>(clockText.size()) || clockHour < 0 || clockHour > 11 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        return -1;
    }
    const std::string half(suffix);
    if (half != "AM" && half != "PM")
        return -1;
    // The import writes 12:xx as 0:xx PM and 13:xx as 1:xx PM.
    const int hour = half == "AM" ? clockHour : clockHour + 12;
    return (hour * 60 + minute) * 60 + second;
}

// The reader turns EDS widths above 1.0 from eV into keV and ELS widths below 0.1 from keV
// into eV; a signal type that would do so is not written.
bool ReaderKeepsScale(Signal signal, float scale) {
    switch (signal) {
        case Signal::kEDS:
            return scale <= 1.0f;
        case Signal::kELS:
            return scale >= 0.1f;
        case Signal::kNone:
            break;
    }
    return true;
}

class HeaderLines {
  public:
    explicit HeaderLines(const dmhost::ImageSnapshot& image) : fImage(image) {}

    void Add(const std::string& keyword, const std::string& value, const std::string& unit = "") {
        fLines.push_back(EmsaHeaderLine{keyword, unit, value});
    }
    void AddIfGiven(const std::string& keyword, const std::string& value) {
        if (!value.empty())
            Add(keyword, value);
    }
    void AddTagNumber(const std::string& keyword, const char* path, const std::string& unit = "") {
        const TagValue* tag = FindTag(fImage, path, TagKind::kDouble);
        if (tag != nullptr && std::isfinite(tag->doubleValue))
            Add(keyword, FormatDouble(tag->doubleValue), unit);
    }
    std::vector<EmsaHeaderLine> Take() { return std::move(fLines); }

  private:
    const dmhost::ImageSnapshot& fImage;
    std::vector<EmsaHeaderLine> fLines;
};

// The import ends an energy-loss acquisition the dwell (or integration) time after its
// start, in whole seconds and on a clock that wraps at midnight: the difference of the two
// clock texts gives the same end time back. The import adds the file's number as it
// stands, so it is written back under the keyword's standard unit.
void AddDwellTime(HeaderLines& lines, const dmhost::ImageSnapshot& image,
                  const std::string& detector) {
    const char* keyword = detector == "SERIAL"   ? "DWELLTIME"
                          : detector == "PARALL" ? "INTEGTIME"
                                                 : nullptr;
    const int start = SecondOfDay(TagText(image, "EDS:Acquisition:Start time"));
    const int end = SecondOfDay(TagText(image, "EDS:Acquisition:End time"));
    if (keyword == nullptr || start < 0 || end < 0)
        return;
    lines.Add(keyword, std::to_string((end - start + kSecondsPerDay) % kSecondsPerDay), "ms");
}

// The channel of zero energy, when the calibration gives a sensible one.
std::string ZeroEnergyChannel(const dmhost::DimensionCalibration& calibration) {
    const double channel = -static_cast<double>(calibration.origin) / calibration.scale;
    if (!std::isfinite(channel) || std::fabs(channel) > 1e9)
        return "";
    return std::to_string(std::lround(channel));
}

void AddCalibration(HeaderLines& lines, const dmhost::ImageSnapshot& image) {
    const dmhost::DimensionCalibration calibration =
        image.calibrations.empty() ? dmhost::DimensionCalibration() : image.calibrations[0];
    lines.Add("NPOINTS", std::to_string(image.values.size()));
    lines.Add("NCOLUMNS", std::to_string(kEmsaValuesPerLine));
    lines.Add("XUNITS", calibration.units);
    lines.AddIfGiven("YUNITS", image.intensityUnit);
    lines.Add("DATATYPE", "Y");
    lines.Add("XPERCHAN", FormatReal4(calibration.scale));
    lines.Add("OFFSET", FormatReal4(calibration.origin));
    const Signal signal = SignalOf(image, calibration);
    if (signal != Signal::kNone && ReaderKeepsScale(signal, calibration.scale))
        lines.Add("SIGNALTYPE", signal == Signal::kEDS ? "EDS" : "ELS");
    lines.AddIfGiven("CHOFFSET", ZeroEnergyChannel(calibration));
    const std::string detector = TagText(image, "EDS:Detector info:Detector type");
    lines.AddIfGiven(signal == Signal::kELS ? "ELSDET" : "EDSDET", detector);
    if (signal == Signal::kELS)
        AddDwellTime(lines, image, detector);
}

void AddMicroscope(HeaderLines& lines, const dmhost::ImageSnapshot& image) {
    lines.AddIfGiven("OPERMODE", TagText(image, "Microscope Info:Operation Mode"));
    lines.AddTagNumber("BEAMKV", "Microscope Info:Voltage", "kV");
    lines.AddTagNumber("EMISSION", "Microscope Info:Emission current (uA)", "uA");
    lines.AddTagNumber("PROBECUR", "Microscope Info:Probe Current (nA)", "nA");
    lines.AddTagNumber("BEAMDIAM", "Microscope Info:Probe Size (nm)", "nm");
    lines.AddTagNumber("MAGCAM", "Microscope Info:Indicated Magnification");
    lines.AddTagNumber("XTILTSTGE", "EDS:Detector info:Stage x-tilt");
    lines.AddTagNumber("YTILTSTGE", "EDS:Detector info:Stage y-tilt");
}

void AddDetector(HeaderLines& lines, const dmhost::ImageSnapshot& image) {
    lines.AddTagNumber("ELEVANGLE", "EDS:Detector info:Elevation angle");
    lines.AddTagNumber("AZIMANGLE", "EDS:Detector info:Azimuthal angle");
    lines.AddTagNumber("SOLIDANGLE", "EDS:Detector info:Solid angle");
    lines.AddTagNumber("LIVETIME", "EDS:Live time", "s");
    lines.AddTagNumber("REALTIME", "EDS:Real time", "s");
    lines.AddTagNumber("TDEADLYR", "EDS:Detector info:Dead layer");
    lines.AddTagNumber("TACTLYR", "EDS:Detector info:Active layer");
    lines.AddTagNumber("TAUWIND", "EDS:Detector info:Gold layer");
    const TagValue* window = FindTag(image, "EDS:Detector info:Window type", TagKind::kLong);
    if (window != nullptr && window->longValue >= 0 && window->longValue <= 5)
        lines.AddTagNumber(kWindowKeywords[window->longValue],
                           "EDS:Detector info:Window thickness");
}

}  // namespace

std::string StandardDate(const std::string& dateText) {
    int month = 0;
    int day = 0;
    int year = 0;
    int used = 0;
    if (std::sscanf(dateText.c_str(), "%d/%d/%d%n", &month, &day, &year, &used) != 3 ||
        used != static_cast<int>(dateText.size()) || month < 1 || month > 12 || day < 0 ||
        year < 0) {
        return "";
    }
    return TwoDigits(day) + "-" + kMonthNames[month - 1] + "-" + std::to_string(year);
}

std::string StandardTime(const std::string& clockText) {
    const int second = SecondOfDay(clockText);
    if (second < 0)
        return "";
    return TwoDigits(second / 3600) + ":" + TwoDigits(second / 60 % 60) + ":" +
           TwoDigits(second % 60);
}

std::vector<EmsaHeaderLine> EmsaHeaderOf(const dmhost::ImageSnapshot& image) {
    HeaderLines lines(image);
    lines.Add("FORMAT", "EMSA/MAS Spectral Data File");
    lines.Add("VERSION", "1.0");
    lines.Add("TITLE", image.name);
    lines.AddIfGiven("DATE", StandardDate(TagText(image, "EDS:Acquisition:Date")));
    lines.AddIfGiven("TIME", StandardTime(TagText(image, "EDS:Acquisition:Start time")));
    lines.Add("OWNER", TagText(image, "Microscope Info:Operator"));
    AddCalibration(lines, image);
    AddMicroscope(lines, image);
    AddDetector(lines, image);
    return lines.Take();
}

}  // namespace xrayutils
