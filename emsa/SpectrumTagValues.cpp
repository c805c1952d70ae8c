#include "emsa/SpectrumTagValues.h"

#include <algorithm>
#include <cmath>

namespace xray {

namespace {

constexpr int64_t kHoursPerDay = 24;
constexpr double kElectronVoltsPerKilo = 1000.0;

// Far beyond any acquisition, and far enough below the range of int64_t that the clock
// arithmetic cannot overflow for an absurd duration in a damaged file.
constexpr double kMaxWholeUnits = 1e12;

// A part of a duration that is not positive (not-a-number included) counts as none.
int64_t WholeUnits(double part) {
    if (!(part > 0.0))
        return 0;
    return static_cast<int64_t>(std::min(part, kMaxWholeUnits));
}

double AcquisitionDuration(const EMSASpectrum& spectrum) {
    switch (spectrum.signaltype) {
        case SignalType::EDS:
            return spectrum.realtime;
        case SignalType::ELS:
            return spectrum.dwelltime;
        default:
            return 0.0;
    }
}

// Whole hours, then whole minutes and seconds of what is left.
ClockTime SplitDuration(double seconds) {
    const double hours = std::trunc(seconds / 3600.0);
    double rest = seconds - hours * 3600.0;
    const double minutes = std::trunc(rest / 60.0);
    rest -= minutes * 60.0;
    return ClockTime{WholeUnits(hours), WholeUnits(minutes), WholeUnits(std::trunc(rest))};
}

bool HasTimeOfDay(const CalendarTime& acquired) {
    return acquired.hour >= 0 && acquired.minute >= 0 && acquired.second >= 0;
}

// An energy in the spectrum's own unit (eV for ELS, keV for EDS), in kV.
double KiloVolts(const EMSASpectrum& spectrum, double energy) {
    return spectrum.signaltype == SignalType::ELS ? energy / kElectronVoltsPerKilo : energy;
}

std::string EdsDetectorText(EdsDetector detector) {
    switch (detector) {
        case EdsDetector::SIBEW:
            return "SIBEW";
        case EdsDetector::SIUTW:
            return "SIUTW";
        case EdsDetector::SIWLS:
            return "SIWLS";
        case EdsDetector::GEBEW:
            return "GEBEW";
        case EdsDetector::GEUTW:
            return "GEUTW";
        case EdsDetector::GEWLS:
            return "GEWLS";
        default:
            return "";
    }
}

std::string ElsDetectorText(ElsDetector detector) {
    switch (detector) {
        case ElsDetector::PARALL:
            return "PARALL";
        case ElsDetector::SERIAL:
            return "SERIAL";
        default:
            return "";
    }
}

}  // namespace

std::string OperationModeText(OperMode mode) {
    switch (mode) {
        case OperMode::IMAGE:
            return "IMAGE";
        case OperMode::DIFFR:
            return "DIFFR";
        case OperMode::SCIMG:
            return "SCIMG";
        case OperMode::SCDIF:
            return "SCDIF";
        default:
            return "";
    }
}

std::string IlluminationModeText(OperMode mode) {
    const bool scanning = mode == OperMode::SCIMG || mode == OperMode::SCDIF;
    return scanning ? "STEM" : "TEM";
}

std::string ImagingModeText(OperMode mode) {
    const bool diffraction = mode == OperMode::DIFFR || mode == OperMode::SCDIF;
    return diffraction ? "DIFF" : "IMG";
}

std::string DetectorTypeText(const EMSASpectrum& spectrum) {
    switch (spectrum.signaltype) {
        case SignalType::EDS:
            return EdsDetectorText(spectrum.edsdet);
        case SignalType::ELS:
            return ElsDetectorText(spectrum.elsdet);
        default:
            return "";
    }
}

std::string DateText(const CalendarTime& acquired) {
    if (acquired.month < 0 || acquired.day < 0 || acquired.year < 0)
        return "";
    return std::to_string(static_cast<int64_t>(acquired.month) + 1) + "/" +
           std::to_string(acquired.day) + "/" + std::to_string(acquired.year);
}

std::string ClockText(const ClockTime& time) {
    int64_t hour = time.hour;
    bool afternoon = false;
    if (hour > 12) {
        hour -= 12;
        afternoon = true;
    }
    if (hour == 12) {
        hour = 0;
        afternoon = !afternoon;
    }
    return std::to_string(hour) + ":" + std::to_string(time.minute) + ":" +
           std::to_string(time.second) + (afternoon ? " PM" : " AM");
}

ClockTime EndTime(const EMSASpectrum& spectrum) {
    const ClockTime duration = SplitDuration(AcquisitionDuration(spectrum));
    const CalendarTime& start = spectrum.acquired;
    ClockTime end{start.hour + duration.hour, start.minute + duration.minute,
                  start.second + duration.second};
    if (end.second >= 60) {
        end.second -= 60;
        end.minute += 1;
    }
    if (end.minute >= 60) {
        end.minute -= 60;
        end.hour += 1;
    }
    end.hour %= kHoursPerDay;
    return end;
}

std::string StartTimeText(const CalendarTime& acquired) {
    if (!HasTimeOfDay(acquired))
        return "";
    return ClockText(ClockTime{acquired.hour, acquired.minute, acquired.second});
}

std::string EndTimeText(const EMSASpectrum& spectrum) {
    if (!HasTimeOfDay(spectrum.acquired))
        return "";
    return ClockText(EndTime(spectrum));
}

double Dispersion(const EMSASpectrum& spectrum) {
    return KiloVolts(spectrum, spectrum.xperchan);
}

// The whole range is converted before truncating, so that a range of exactly so many kV
// in eV is not cut to one less by the rounding of a per-channel width in kV.
double EnergyRange(const EMSASpectrum& spectrum) {
    const double channels =
        static_cast<double>(spectrum.npoints) - static_cast<double>(spectrum.choffset);
    return std::trunc(KiloVolts(spectrum, channels * spectrum.xperchan));
}

double WindowThickness(const EMSASpectrum& spectrum) {
    switch (spectrum.window_type) {
        case WindowType::Beryllium:
            return spectrum.tbewind;
        case WindowType::Aluminium:
            return spectrum.talwind;
        case WindowType::Polymer:
            return spectrum.tpywind;
        case WindowType::BoronNitride:
            return spectrum.tbnwind;
        case WindowType::Diamond:
            return spectrum.tdiwind;
        case WindowType::Hydrocarbon:
            return spectrum.thcwind;
    }
    return 0.0;
}

}  // namespace xray
