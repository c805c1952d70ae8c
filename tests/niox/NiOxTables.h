// Small builders of spectrum and window tables for the NiOx tests.
#ifndef XRAY_TESTS_NIOX_NIOXTABLES_H
#define XRAY_TESTS_NIOX_NIOXTABLES_H

#include <initializer_list>
#include <utility>

#include "niox/NiOxWindows.h"

namespace xray {

// One row per (energy in keV, counts) pair, in the order given.
inline EnergyCountTable TableOf(std::initializer_list<std::pair<double, double>> rows) {
    EnergyCountTable table(static_cast<int32_t>(rows.size()), 2);
    int32_t i = 0;
    for (const auto& row : rows) {
        table(i, 0) = row.first;
        table(i, 1) = row.second;
        ++i;
    }
    return table;
}

// A window table with the given net and background counts of each line, rows in order.
inline WindowTable WindowsOf(std::initializer_list<std::pair<double, double>> lines) {
    WindowTable windows(kWindowRows, 2);
    int32_t row = 0;
    for (const auto& line : lines) {
        windows(row, kNet) = line.first;
        windows(row, kBackground) = line.second;
        ++row;
    }
    return windows;
}

}  // namespace xray

#endif  // XRAY_TESTS_NIOX_NIOXTABLES_H
