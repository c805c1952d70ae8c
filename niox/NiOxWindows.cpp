#include "niox/NiOxWindows.h"

#include <array>

namespace xray {

namespace {

// The thirteen windows, in keV, both limits inclusive. Each background window is as wide
// as its peak window, so backgrounds need no width scaling.
enum Window {
    kOxygenPeak,
    kOxygenBackground,
    kNickelLPeak,
    kNickelLBackground,
    kMolybdenumLLow,
    kMolybdenumLPeak,
    kMolybdenumLHigh,
    kNickelKLow,
    kNickelKPeak,
    kNickelKHigh,
    kMolybdenumKLow,
    kMolybdenumKPeak,
    kMolybdenumKHigh,
    kWindowCount
};

static_assert(kWindowCount == kEnergyWindowCount, "one entry per window");

constexpr std::array<EnergyWindow, kWindowCount> kWindows = {{
    {"O K peak", kOxygenK, true, 0.38, 0.64},
    {"O K background", kOxygenK, false, 1.10, 1.36},
    {"Ni L peak", kNickelL, true, 0.68, 1.00},
    {"Ni L background", kNickelL, false, 1.10, 1.42},
    {"Mo L low side", kMolybdenumL, false, 1.10, 1.44},
    {"Mo L peak", kMolybdenumL, true, 2.16, 2.50},
    {"Mo L high side", kMolybdenumL, false, 3.00, 3.34},
    {"Ni K low side", kNickelK, false, 6.50, 7.10},
    {"Ni K peak", kNickelK, true, 7.16, 7.76},
    {"Ni K high side", kNickelK, false, 8.60, 9.20},
    {"Mo K low side", kMolybdenumK, false, 16.10, 16.86},
    {"Mo K peak", kMolybdenumK, true, 17.04, 17.80},
    {"Mo K high side", kMolybdenumK, false, 18.14, 18.90},
}};

// Windows first..last - 1 lie within [lower, upper]; a channel outside that range can skip
// all of them, which spares most channels of a spectrum all thirteen tests. The groups
// are disjoint and in ascending order of energy.
struct WindowGroup {
    int first, last;
    double lower, upper;
};

constexpr WindowGroup GroupOf(int first, int last) {
    WindowGroup g{first, last, kWindows[first].lower, kWindows[first].upper};
    for (int w = first; w < last; ++w) {
        g.lower = kWindows[w].lower < g.lower ? kWindows[w].lower : g.lower;
        g.upper = kWindows[w].upper > g.upper ? kWindows[w].upper : g.upper;
    }
    return g;
}

constexpr std::array<WindowGroup, 3> kGroups = {{GroupOf(kOxygenPeak, kNickelKLow),
                                                 GroupOf(kNickelKLow, kMolybdenumKLow),
                                                 GroupOf(kMolybdenumKLow, kWindowCount)}};

static_assert(kGroups[0].upper < kGroups[1].lower && kGroups[1].upper < kGroups[2].lower,
              "window groups must be disjoint and ascending");

bool Contains(const EnergyWindow& range, double energy) {
    return range.lower <= energy && energy <= range.upper;
}

void SetLine(WindowTable& windows, WindowRow row, double gross, double background) {
    windows(row, kBackground) = background;
    windows(row, kNet) = gross - background;
}

}  // namespace

const char* WindowLineName(WindowRow line) {
    switch (line) {
        case kOxygenK:
            return "O K";
        case kNickelL:
            return "Ni L";
        case kNickelK:
            return "Ni K";
        case kMolybdenumL:
            return "Mo L";
        case kMolybdenumK:
            return "Mo K";
    }
    return "";
}

const EnergyWindow* EnergyWindows() {
    return kWindows.data();
}

EnergyCountTable MakeEnergyCountTable(const double* counts, int32_t count, double offset,
                                      double step) {
    EnergyCountTable table(count, 2);
    for (int32_t i = 0; i < count; ++i) {
        table(i, 0) = offset + step * i;
        table(i, 1) = counts[i];
    }
    return table;
}

int32_t IntegrateWindows(const EnergyCountTable& table, WindowTable& windows) {
    std::array<double, kWindowCount> s{};
    std::array<int32_t, kWindowCount> channels{};
    const double lowest = kGroups.front().lower;
    const double highest = kGroups.back().upper;
    for (int32_t i = 0; i < table.nrows(); ++i) {
        const double energy = table(i, 0);
        if (!(lowest <= energy && energy <= highest))
            continue;
        for (const WindowGroup& g : kGroups) {
            if (energy < g.lower)
                break;
            if (energy > g.upper)
                continue;
            for (int w = g.first; w < g.last; ++w) {
                if (Contains(kWindows[w], energy)) {
                    s[w] += table(i, 1);
                    ++channels[w];
                }
            }
        }
    }
    windows.resize(kWindowRows, 2);
    SetLine(windows, kOxygenK, s[kOxygenPeak], s[kOxygenBackground]);
    SetLine(windows, kNickelL, s[kNickelLPeak], s[kNickelLBackground]);
    SetLine(windows, kNickelK, s[kNickelKPeak], (s[kNickelKLow] + s[kNickelKHigh]) * 0.5);
    SetLine(windows, kMolybdenumL, s[kMolybdenumLPeak],
            (s[kMolybdenumLLow] + s[kMolybdenumLHigh]) * 0.5);
    SetLine(windows, kMolybdenumK, s[kMolybdenumKPeak],
            (s[kMolybdenumKLow] + s[kMolybdenumKHigh]) * 0.5);
    return channels[kNickelKPeak];
}

}  // namespace xray
