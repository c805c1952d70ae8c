// Zor_SpectrumFilter as a script calls it: the built module loaded into the stand-in host,
// the filtered image handed back through the script's variable.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"

namespace {

using dmhost::ObjectRef;
using dmhost::ScriptValue;
using dmhost::TagValue;

constexpr const char* kSignature = "void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)";

class FilterScriptFunctionTest : public ::testing::Test {
  protected:
    FilterScriptFunctionTest() : module_(host_, ZORXRAYUTILS_MODULE_PATH) {}

    // The test's own images are gone by now; once the module is shut down and unloaded, no
    // reference on any host object may be left.
    void TearDown() override {
        module_.Close();
        const dmhost::AuditSnapshot audit = host_.Audit();
        for (int c = 0; c < dmhost::kObjectClassCount; ++c)
            EXPECT_EQ(audit.references[c], 0) << dmhost::ObjectClassName(dmhost::ObjectClass(c));
        EXPECT_EQ(audit.image_locks, 0);
        EXPECT_EQ(host_.AuditErrors(), std::vector<std::string>());
    }

    ObjectRef MakeSpectrum() {
        dmhost::ImageSpec spec;
        spec.name = "Spectrum 1";
        spec.data_type = dmhost::kInt32Data;
        for (int i = 0; i < 32; ++i)
            spec.values.push_back(100 + (i % 7) * 10);
        spec.calibrations = {dmhost::DimensionCalibration{-0.1f, 0.02f, "keV"}};
        spec.intensity_unit = "counts";
        spec.tags = {TagValue::Group(
            "EDS",
            {TagValue::Group("Detector info", {TagValue::Double("Energy resolution", 135.0)})})};
        return host_.MakeImage(spec);
    }

    dmhost::ScriptResult Filter(const ObjectRef& spectrum, double type, ObjectRef& variable) {
        return host_.CallScriptFunction(
            "Zor_SpectrumFilter", {ScriptValue::Image(spectrum.get()), ScriptValue::Number(type),
                                   ScriptValue::Output(variable)});
    }

    dmhost::StandInHost host_;
    dmhost::HostedModule module_;
};

TEST_F(FilterScriptFunctionTest, InstalledAtStartupItHandsTheFilteredImageToTheVariable) {
    const std::vector<dmhost::InstalledFunction> installed = host_.InstalledFunctions();
    EXPECT_TRUE(std::any_of(installed.begin(), installed.end(), [](const auto& function) {
        return function.signature == kSignature && function.flags == 3u;
    }));

    const ObjectRef spectrum = MakeSpectrum();
    dmhost::ImageSpec earlier;
    earlier.values = {1, 2, 3};
    ObjectRef variable = host_.MakeImage(earlier);
    const DM_Object previous = variable.get();

    const int32_t spectrum_references = host_.ReferenceCount(spectrum.get());
    const dmhost::ScriptResult result = Filter(spectrum, 3, variable);
    ASSERT_FALSE(result.failed) << result.error;
    ASSERT_NE(variable.get(), previous);
    EXPECT_FALSE(host_.IsLive(previous)) << "the variable's old image was given back";
    EXPECT_EQ(host_.ReferenceCount(variable.get()), 1);
    EXPECT_EQ(host_.ReferenceCount(spectrum.get()), spectrum_references);
    const dmhost::ImageSnapshot image = host_.ReadImage(variable.get());
    EXPECT_EQ(image.name, "Spectrum 1 (fixed tophat)");
    EXPECT_EQ(image.data_type, dmhost::kReal4Data);
    EXPECT_EQ(image.intensity_unit, "counts/keV**2");
    EXPECT_EQ(host_.ReadImage(spectrum.get()).data_type, dmhost::kInt32Data);
}

TEST_F(FilterScriptFunctionTest, AFilterTypeOutOfRangeIsTheScriptsError) {
    const ObjectRef spectrum = MakeSpectrum();
    const int32_t spectrum_references = host_.ReferenceCount(spectrum.get());
    for (double type : {0.0, 5.0}) {
        ObjectRef variable(host_);
        host_.ClearCallLog();
        const dmhost::ScriptResult result = Filter(spectrum, type, variable);
        EXPECT_TRUE(result.failed);
        EXPECT_EQ(result.error, "FilterType is out of range, should be 1-4.");
        EXPECT_TRUE(host_.CallLog().empty()) << host_.CallLog().front();
        EXPECT_FALSE(variable);
        EXPECT_EQ(host_.ReferenceCount(spectrum.get()), spectrum_references);
    }
}

}  // namespace
