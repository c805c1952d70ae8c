#include "cli/ImageFiles.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "cli/EmsaHeader.h"
#include "cli/ImageDescription.h"

namespace xrayutils {
namespace {

// A file written whole or not at all as far as the caller can tell: Close reports any
// failure to open, write or flush it.
class OutputFile {
  public:
    explicit OutputFile(const std::string& path) : fPath(path), fOut(path, std::ios::binary) {
        if (!fOut)
            throw std::runtime_error("cannot write " + fPath);
    }
    std::ostream& stream() { return fOut; }
    void Close() {
        fOut.close();
        if (!fOut)
            throw std::runtime_error("could not write all of " + fPath);
    }

  private:
    std::string fPath;
    std::ofstream fOut;
};

std::string ValueText(const dmhost::ImageSnapshot& image, size_t i) {
    if (image.dataType == dmhost::kReal4Data)
        return FormatReal4(static_cast<float>(image.values[i]));
    return FormatDouble(image.values[i]);
}

// "#KEYWORD-unit: value": the keyword field fills columns 2 to 13, the unit at its end.
std::string StandardLine(const EmsaHeaderLine& line) {
    const std::string unit = line.unit.empty() ? "" : "-" + line.unit;
    std::string field = line.keyword;
    if (field.size() + unit.size() < 12)
        field.resize(12 - unit.size(), ' ');
    return "#" + field + unit + ": " + line.value + "\n";
}

void WriteEmsaData(const dmhost::ImageSnapshot& image, std::ostream& out) {
    for (size_t i = 0; i < image.values.size(); ++i) {
        const bool lineEnd = (i + 1) % kEmsaValuesPerLine == 0 || i + 1 == image.values.size();
        out << ValueText(image, i) << (lineEnd ? "\n" : ", ");
    }
}

}  // namespace

void WriteImageCsv(const dmhost::ImageSnapshot& image, const std::string& path) {
    const dmhost::DimensionCalibration calibration =
        image.calibrations.empty() ? dmhost::DimensionCalibration() : image.calibrations[0];
    OutputFile file(path);
    std::ostream& out = file.stream();
    out << "channel,energy,value\n";
    for (size_t i = 0; i < image.values.size(); ++i) {
        const double energy = static_cast<double>(calibration.origin) +
                              static_cast<double>(calibration.scale) * static_cast<double>(i);
        out << i << "," << FormatDouble(energy) << "," << ValueText(image, i) << "\n";
    }
    file.Close();
}

void WriteImageEmsa(const dmhost::ImageSnapshot& image, const std::string& path) {
    OutputFile file(path);
    std::ostream& out = file.stream();
    for (const EmsaHeaderLine& line : EmsaHeaderOf(image))
        out << StandardLine(line);
    out << StandardLine({"SPECTRUM", "", "Spectral Data Starts Here"});
    WriteEmsaData(image, out);
    out << StandardLine({"ENDOFDATA", "", ""});
    file.Close();
}

}  // namespace xrayutils
