// The NiOx evaluations as a script calls them, on random spectra: random channel counts,
// data types, values, energy calibrations, tags, flags and film thicknesses, through
// Zor_NiOx and Zor_NiOxIceC in process against the stand-in host. The script must see a
// report or an error message, never both or neither; the spectra must come back unchanged;
// and nothing of the host's may be left held or locked.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/ScriptFunctions.h"
#include "plugin/ScriptWork.h"
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using dmhost::ObjectRef;
using dmhost::TagValue;

constexpr uint32_t kMaxFuzzChannels = 8192;
constexpr uint32_t kDataTypes[] = {dmhost::kReal4Data, dmhost::kReal8Data, dmhost::kInt32Data,
                                   dmhost::kUInt16Data};

void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

// The tags the solid angle reads, each present or not.
std::vector<TagValue> Tags(fuzz::FuzzInput& in) {
    std::vector<TagValue> detector, eds, microscope;
    if (in.Flag())
        detector.push_back(TagValue::Double("Stage x-tilt", in.Number(-90.0, 90.0)));
    if (in.Flag())
        detector.push_back(TagValue::Double("Stage y-tilt", in.Number(-90.0, 90.0)));
    if (in.Flag())
        microscope.push_back(TagValue::Double("Voltage", in.Number(0.0, 400.0)));
    if (in.Flag())
        microscope.push_back(TagValue::Double("Probe Current (nA)", in.Number(0.0, 20.0)));
    eds.push_back(TagValue::Group("Detector info", detector));
    if (in.Flag())
        eds.push_back(TagValue::Double("Live time", in.Number(0.0, 1000.0)));
    return {TagValue::Group("Microscope Info", microscope), TagValue::Group("EDS", eds)};
}

dmhost::ImageSpec Spectrum(fuzz::FuzzInput& in) {
    dmhost::ImageSpec spec;
    spec.name = "fuzz";
    spec.dataType = kDataTypes[in.Byte() % 4];
    const auto offset = static_cast<float>(in.Number(-2.0, 2.0));
    const auto scale = static_cast<float>(in.Number(-0.05, 0.05));
    spec.calibrations = {dmhost::DimensionCalibration{offset, scale, "keV"}};
    spec.tags = Tags(in);
    spec.values.resize(in.InRange(1, kMaxFuzzChannels));
    const uint32_t ceiling = 1u << (in.Byte() % 24);
    for (double& value : spec.values)
        value = in.remaining() > 0 ? static_cast<double>(in.Uint32() % ceiling) : 0.0;
    return spec;
}

// Equal bit for bit, so that a NaN equals itself.
bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

void ExpectUnchanged(dmhost::StandInHost& host, DM_Object image,
                     const dmhost::ImageSnapshot& before, const char* function) {
    const dmhost::ImageSnapshot after = host.ReadImage(image);
    const std::string prefix = std::string(function) + " changed the caller's spectrum: ";
    if (!SameValues(before.values, after.values))
        Fail(prefix + "values");
    if (before.dataType != after.dataType || before.dimensions != after.dimensions)
        Fail(prefix + "data type or dimensions");
    if (after.lockCount != 0)
        Fail(prefix + "left locked");
    if (!SameBits(before.calibrations[0].origin, after.calibrations[0].origin) ||
        !SameBits(before.calibrations[0].scale, after.calibrations[0].scale))
        Fail(prefix + "calibration " + std::to_string(before.calibrations[0].origin) + " " +
             std::to_string(before.calibrations[0].scale) + " became " +
             std::to_string(after.calibrations[0].origin) + " " +
             std::to_string(after.calibrations[0].scale));
}

// A report or an error, never both or neither.
void ExpectReportOrError(dmhost::StandInHost& host, const ObjectRef& report, bool expected,
                         const char* function) {
    const bool failed = host.HasPendingException();
    if (report && failed)
        Fail(std::string(function) + ": a report and an error");
    if (expected && !report && !failed)
        Fail(std::string(function) + ": neither a report nor an error");
    if (failed && host.PendingExceptionMessage().empty())
        Fail(std::string(function) + ": an error without a message");
}

void CallNiOx(dmhost::StandInHost& host, fuzz::FuzzInput& in, DM_Object spectrum) {
    bool flags[7];
    bool any = false;
    for (bool& flag : flags)
        any = (flag = in.Flag()) || any;
    const double thickness = in.Number(0.0, 500.0);
    ObjectRef fit(host);
    const ObjectRef report(host, Gatan::PlugIn::Zor_NiOx<EvaluateNiOx>(
                                     spectrum, flags[0], flags[1], flags[2], flags[3], flags[4],
                                     flags[5], flags[6], thickness, fit.slot()));
    ExpectReportOrError(host, report, any, "Zor_NiOx");
    if (fit && host.ReadImage(fit.get()).lockCount != 0)
        Fail("Zor_NiOx: the fit image stays locked");
    host.ClearPendingException();
}

void CallNiOxIceC(dmhost::StandInHost& host, DM_Object first, DM_Object second) {
    const ObjectRef report(host, Gatan::PlugIn::Zor_NiOxIceC<EvaluateNiOxIceC>(first, second));
    ExpectReportOrError(host, report, true, "Zor_NiOxIceC");
    host.ClearPendingException();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzHost& fuzzHost = fuzz::FuzzHost::Get();
    dmhost::StandInHost& host = fuzzHost.host();
    fuzz::FuzzInput in(data, size);
    const bool contamination = in.Flag();
    const char* function = contamination ? "Zor_NiOxIceC" : "Zor_NiOx";
    {
        const ObjectRef first = host.MakeImage(Spectrum(in));
        const dmhost::ImageSnapshot firstBefore = host.ReadImage(first.get());
        if (contamination) {
            const ObjectRef second = host.MakeImage(Spectrum(in));
            const dmhost::ImageSnapshot secondBefore = host.ReadImage(second.get());
            CallNiOxIceC(host, first.get(), second.get());
            ExpectUnchanged(host, second.get(), secondBefore, function);
        } else {
            CallNiOx(host, in, first.get());
        }
        ExpectUnchanged(host, first.get(), firstBefore, function);
    }
    fuzzHost.ExpectNothingHeld(function);
    fuzzHost.Reset();
    return 0;
}
