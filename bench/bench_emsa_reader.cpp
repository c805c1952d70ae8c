// Reading a 1,000,000-channel EMSA/MAS file in each data layout: from the file (open, read
// in blocks while parsing, header, channels) and from text already in memory (parsing
// alone). Target: at least 500 MB/s for one value per line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "emsa/EMSAReader.h"

namespace xray {

namespace {

constexpr int32_t kChannels = 1000000;

enum Layout { kYOnePerLine, kYFiveColumns, kXYPairs };

const char* LayoutName(Layout layout) {
    switch (layout) {
        case kYOnePerLine:
            return "y1";
        case kYFiveColumns:
            return "y5";
        case kXYPairs:
            return "xy";
    }
    return "?";
}

std::string HeaderLine(const std::string& field, const std::string& value) {
    std::string line = "#" + field;
    line.resize(13, ' ');
    return line + ": " + value + "\n";
}

std::string Header(Layout layout) {
    return HeaderLine("FORMAT", "EMSA/MAS Spectral Data File") + HeaderLine("VERSION", "1.0") +
           HeaderLine("NPOINTS", std::to_string(kChannels)) +
           HeaderLine("NCOLUMNS", layout == kYFiveColumns ? "5" : "1") +
           HeaderLine("DATATYPE", layout == kXYPairs ? "XY" : "Y") +
           HeaderLine("XPERCHAN", "10.0") + HeaderLine("OFFSET", "-200.0") +
           HeaderLine("SIGNALTYPE", "EDS") + HeaderLine("SPECTRUM", "Spectral Data Starts Here");
}

// Counts like a real EDS spectrum's: mostly four and five digits with one decimal.
struct CountSource {
    uint32_t state = 12345;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % 200000 / 10.0;
    }
};

void WriteData(std::FILE* out, Layout layout) {
    CountSource counts;
    for (int32_t i = 0; i < kChannels; ++i) {
        const double y = counts.Next();
        if (layout == kXYPairs) {
            std::fprintf(out, "%.4f, %.1f\n", -200.0 + 10.0 * i, y);
        } else if (layout == kYFiveColumns) {
            std::fprintf(out, "%.1f,%s", y, (i % 5 == 4 || i == kChannels - 1) ? "\n" : " ");
        } else {
            std::fprintf(out, "%.1f\n", y);
        }
    }
    std::fputs(HeaderLine("ENDOFDATA", "").c_str(), out);
}

// Written once per layout, streamed so the writer holds no copy; removed at exit.
class GeneratedFile {
  public:
    explicit GeneratedFile(Layout layout)
        : fPath((std::filesystem::temp_directory_path() /
                 ("bench_emsa_reader_" + std::string(LayoutName(layout)) + ".msa"))
                    .string()) {
        std::FILE* out = std::fopen(fPath.c_str(), "wb");
        if (out == nullptr)
            throw std::runtime_error("cannot write " + fPath);
        std::fputs(Header(layout).c_str(), out);
        WriteData(out, layout);
        std::fclose(out);
    }
    ~GeneratedFile() { std::filesystem::remove(fPath); }
    GeneratedFile(const GeneratedFile&) = delete;
    GeneratedFile& operator=(const GeneratedFile&) = delete;

    const std::string& path() const { return fPath; }
    int64_t size() const { return static_cast<int64_t>(std::filesystem::file_size(fPath)); }

  private:
    std::string fPath;
};

const GeneratedFile& FileFor(Layout layout) {
    static std::map<Layout, GeneratedFile> files;
    auto found = files.find(layout);
    if (found == files.end())
        found = files.try_emplace(layout, layout).first;
    return found->second;
}

void BM_ReadFile(benchmark::State& state) {
    const GeneratedFile& file = FileFor(static_cast<Layout>(state.range(0)));
    state.SetLabel(LayoutName(static_cast<Layout>(state.range(0))));
    for (auto _ : state) {
        std::optional<SpectrumSource> source = OpenSpectrumFile(file.path());
        if (!source)
            state.SkipWithError("cannot open the generated file");
        EMSASpectrum spectrum = ReadSpectrum(*source);
        benchmark::DoNotOptimize(spectrum.channels.data());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_ParseText(benchmark::State& state) {
    const GeneratedFile& file = FileFor(static_cast<Layout>(state.range(0)));
    state.SetLabel(LayoutName(static_cast<Layout>(state.range(0))));
    std::ifstream in(file.path(), std::ios::binary);
    const SpectrumText text{file.path(), std::string(std::istreambuf_iterator<char>(in),
                                                     std::istreambuf_iterator<char>())};
    for (auto _ : state) {
        EMSASpectrum spectrum = ReadSpectrum(text);
        benchmark::DoNotOptimize(spectrum.channels.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.text.size()));
}

BENCHMARK(BM_ReadFile)->DenseRange(kYOnePerLine, kXYPairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseText)->DenseRange(kYOnePerLine, kXYPairs)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace xray
