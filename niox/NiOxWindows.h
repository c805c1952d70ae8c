// The spectrum table of the NiOx evaluations and the net and background counts of its
// five lines (O K, Ni L, Ni K, Mo L, Mo K), measured in thirteen fixed energy windows.
//
// EnergyCountTable: one row per channel, in channel order; column 0 the channel's energy
// in keV, column 1 its counts. WindowTable: 5 rows (WindowRow) by 2 columns, column 0 the
// net counts of the line and column 1 its background counts. Both are plain arrays owned
// by the caller; nothing here keeps a reference. Every window includes both limits.
#ifndef XRAY_NIOX_NIOXWINDOWS_H
#define XRAY_NIOX_NIOXWINDOWS_H

#include <cstdint>

#include "array/Array2D.h"

namespace xray {

using EnergyCountTable = Array2D<double>;
using WindowTable = Array2D<double>;

enum WindowRow : int32_t {
    kOxygenK = 0,
    kNickelL = 1,
    kNickelK = 2,
    kMolybdenumL = 3,
    kMolybdenumK = 4
};
enum WindowColumn : int32_t { kNet = 0, kBackground = 1 };

constexpr int32_t kWindowRows = 5;

// The name of a line as the reports and pictures write it: "O K", "Ni L", "Ni K", "Mo L",
// "Mo K".
const char* WindowLineName(WindowRow line);

// One of the thirteen energy windows: the line it measures, whether it holds the line's
// gross counts (a peak window) or part of its background, and its limits in keV, both
// inclusive. A background window may serve several lines (1.10 to 1.44 keV holds the O K,
// Ni L and Mo L backgrounds in three overlapping windows); each is listed once per line.
struct EnergyWindow {
    const char* name;  // "Ni K peak", "Ni K low side", "O K background", ...
    WindowRow line;
    bool peak;
    double lower;
    double upper;
};

constexpr int32_t kEnergyWindowCount = 13;

// The thirteen windows, ordered by line (O K, Ni L, Mo L, Ni K, Mo K) and by energy within
// a line; the same table IntegrateWindows sums. Static storage, never changes.
const EnergyWindow* EnergyWindows();

// The table of `count` channels whose energies are offset + step * i (keV). Reads exactly
// counts[0] .. counts[count - 1]. REQUIRES: count >= 0.
EnergyCountTable MakeEnergyCountTable(const double* counts, int32_t count, double offset,
                                      double step);

// Sums the windows over every row of `table` and fills `windows`, which is replaced by a
// 5 x 2 table first when it has other dimensions (its contents are never read). Returns
// the number of channels in the Ni K peak window (7.16 to 7.76 keV). An empty table gives
// zeros everywhere.
int32_t IntegrateWindows(const EnergyCountTable& table, WindowTable& windows);

}  // namespace xray

#endif  // XRAY_NIOX_NIOXWINDOWS_H
