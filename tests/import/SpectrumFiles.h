// SpectrumFiles: EMSA/MAS files written for one test in a folder of their own, removed
// with the fixture.
#ifndef XRAY_TESTS_IMPORT_SPECTRUMFILES_H
#define XRAY_TESTS_IMPORT_SPECTRUMFILES_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace importtest {

// "#KEYWORD-unit: value" with the colon in column 14, as the standard lays it out.
inline std::string HeaderLine(const std::string& field, const std::string& value) {
    std::string line = "#" + field;
    line.resize(13, ' ');
    return line + ": " + value + "\n";
}

using Header = std::vector<std::pair<std::string, std::string>>;

// A header, the SPECTRUM line, one value per line, and the end-of-data line.
inline std::string SpectrumText(const Header& header, const std::vector<std::string>& values) {
    std::string text = HeaderLine("FORMAT", "EMSA/MAS Spectral Data File");
    for (const auto& [field, value] : header)
        text += HeaderLine(field, value);
    text += HeaderLine("SPECTRUM", "Spectral Data Starts Here");
    for (const std::string& value : values)
        text += value + "\n";
    return text + HeaderLine("ENDOFDATA", "");
}

class SpectrumFolder {
  public:
    SpectrumFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        fFolder = std::filesystem::temp_directory_path() /
                  ("xray_import_" + std::string(test->test_suite_name()) + "_" + test->name());
        std::filesystem::remove_all(fFolder);
        std::filesystem::create_directories(fFolder);
    }
    ~SpectrumFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(fFolder, ignored);
    }
    SpectrumFolder(const SpectrumFolder&) = delete;
    SpectrumFolder& operator=(const SpectrumFolder&) = delete;

    std::string Write(const std::string& fileName, const std::string& text) const {
        const std::filesystem::path path = fFolder / fileName;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::string PathOf(const std::string& fileName) const { return (fFolder / fileName).string(); }

  private:
    std::filesystem::path fFolder;
};

}  // namespace importtest

#endif  // XRAY_TESTS_IMPORT_SPECTRUMFILES_H
