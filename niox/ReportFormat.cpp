#include "niox/ReportFormat.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace xray {

const char* const kBlockEnd = "\n************************************************\n\n";

std::string Fixed(double value, int decimals) {
    std::ostringstream out;
    out.exceptions(std::ios_base::badbit);  // a failed allocation must not cut the text short
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(decimals) << value;
    return out.str();
}

std::string SigmaErrorLines(const SigmaErrors& errors, int decimals, const char* gap,
                            const char* unit) {
    static const char* const kLabels[] = {"1sigma(68%):", "2sigma(95%):", "3sigma(99%):"};
    std::string lines;
    for (int k = 0; k < 3; ++k)
        lines += std::string("\n\t\tError ") + kLabels[k] + gap + Fixed(errors[k], decimals) + unit;
    return lines;
}

std::string MeasuredNiKIntensities(double net, double background) {
    return "\t\tMeasured intensities\n\t\tGross NiK peak: " + Fixed(net + background, 1) +
           " (count)\n\t\tNiK backgound:  " + Fixed(background, 1) +
           " (count)\n\t\tNet NiK peak:   " + Fixed(net, 1) + " (count)";
}

}  // namespace xray
