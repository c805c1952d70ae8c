// Importing a 1,000,000-channel EMSA/MAS file as a host image (the whole Zor_EMSAtoDM
// call, as a script makes it, of the built module loaded into the stand-in host), against
// reading the same file with the reader alone. The import should cost no more than 1.2
// times the read: it reads the values straight into the image, which it then narrows in
// place and tags, so beside parsing a million numbers it touches no more fresh memory than
// the reader's own channel array.
//
// Both are measured in two memory regimes, because the blocks involved (the file's text,
// the channels, the image's data) are megabytes each and glibc adapts its thresholds to
// the sizes freed so far: left alone, whether a loop gets fresh pages from the system or
// reuses freed ones depends on which benchmark ran before and on how close its peak comes
// to the trim threshold, and the comparison would be of two regimes rather than two costs.
// "fresh": every large block is mapped anew and faulted in, as for one import in a
// long-running host. "reused": freed blocks stay with the process and are reused.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "emsa/EMSAReader.h"
#include "host/PlugInModule.h"
#include "host/StandInHost.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace xray;

namespace {

constexpr int32_t kChannels = 1000000;

enum MemoryRegime { kFreshPages, kReusedPages };

const char* RegimeName(int64_t regime) {
    return regime == kFreshPages ? "fresh pages" : "reused pages";
}

// Fixed thresholds also stop glibc from adapting them during the run.
void SetMemoryRegime(int64_t regime) {
#if defined(__GLIBC__)
    malloc_trim(0);
    if (regime == kFreshPages) {
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    } else {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    }
#else
    (void)regime;
#endif
}

std::string HeaderLine(const std::string& field, const std::string& value) {
    std::string line = "#" + field;
    line.resize(13, ' ');
    return line + ": " + value + "\n";
}

std::string Header() {
    return HeaderLine("FORMAT", "EMSA/MAS Spectral Data File") + HeaderLine("VERSION", "1.0") +
           HeaderLine("TITLE", "Benchmark spectrum") + HeaderLine("DATE", "12-JAN-2010") +
           HeaderLine("TIME", "09:05:03") + HeaderLine("NPOINTS", std::to_string(kChannels)) +
           HeaderLine("NCOLUMNS", "1") + HeaderLine("XUNITS", "eV") +
           HeaderLine("YUNITS", "counts") + HeaderLine("DATATYPE", "Y") +
           HeaderLine("XPERCHAN", "10.0") + HeaderLine("OFFSET", "-200.0") +
           HeaderLine("SIGNALTYPE", "EDS") + HeaderLine("BEAMKV-kV", "200.0") +
           HeaderLine("LIVETIME", "100.0") + HeaderLine("REALTIME", "120.0") +
           HeaderLine("SPECTRUM", "Spectral Data Starts Here");
}

// Counts like a real EDS spectrum's: mostly four and five digits with one decimal.
struct CountSource {
    uint32_t state = 12345;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % 200000 / 10.0;
    }
};

// Written once, streamed so the writer holds no copy; removed at exit.
class GeneratedFile {
  public:
    GeneratedFile()
        : fPath((std::filesystem::temp_directory_path() / "bench_import.msa").string()) {
        std::FILE* out = std::fopen(fPath.c_str(), "wb");
        if (out == nullptr)
            throw std::runtime_error("cannot write " + fPath);
        std::fputs(Header().c_str(), out);
        CountSource counts;
        for (int32_t i = 0; i < kChannels; ++i)
            std::fprintf(out, "%.1f\n", counts.Next());
        std::fputs(HeaderLine("ENDOFDATA", "").c_str(), out);
        std::fclose(out);
    }
    ~GeneratedFile() { std::filesystem::remove(fPath); }
    GeneratedFile(const GeneratedFile&) = delete;
    GeneratedFile& operator=(const GeneratedFile&) = delete;

    const std::string& path() const { return fPath; }

  private:
    std::string fPath;
};

const GeneratedFile& File() {
    static const GeneratedFile file;
    return file;
}

void BM_ReadWithReaderAlone(benchmark::State& state) {
    const std::string& path = File().path();
    SetMemoryRegime(state.range(0));
    state.SetLabel(RegimeName(state.range(0)));
    for (auto _ : state) {
        std::optional<SpectrumSource> source = OpenSpectrumFile(path);
        if (!source)
            state.SkipWithError("cannot open the generated file");
        EMSASpectrum spectrum = ReadSpectrum(*source);
        benchmark::DoNotOptimize(spectrum.channels.data());
    }
    state.SetItemsProcessed(state.iterations() * kChannels);
}

void BM_ImportThroughModule(benchmark::State& state) {
    const std::string& path = File().path();
    SetMemoryRegime(state.range(0));
    state.SetLabel(RegimeName(state.range(0)));
    dmhost::StandInHost host;
    dmhost::HostedModule module(host, ZORXRAYUTILS_MODULE_PATH);
    for (auto _ : state) {
        dmhost::ScriptResult result =
            host.CallScriptFunction("Zor_EMSAtoDM", {dmhost::ScriptValue::String(path)});
        if (result.failed)
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.value.get());
    }
    state.SetItemsProcessed(state.iterations() * kChannels);
}

BENCHMARK(BM_ReadWithReaderAlone)
    ->DenseRange(kFreshPages, kReusedPages)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportThroughModule)
    ->DenseRange(kFreshPages, kReusedPages)
    ->Unit(benchmark::kMillisecond);

}  // namespace
