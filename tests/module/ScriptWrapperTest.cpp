// The wrappers' own steps, in process, around stand-in work functions: arguments keep their
// reference counts, the result carries exactly one reference, the output variable is
// replaced without losing or leaking a reference, and failures reach the script.
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

#include "interface/DMPlugInInterface.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/PlugInMain.h"
#include "plugin/ScriptFunctions.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using dmhost::ScriptValue;

enum class Outcome { kNewImage, kNoImage, kSpectrumItself, kThrowStandard, kThrowOther };

// What the stand-in work saw and is to do; reset by every test.
struct WorkRecord {
    Outcome outcome = Outcome::kNewImage;
    std::array<bool, 7> flags{};
    double thickness = 0.0;
    uint32_t filterType = 0;
    bool outputArrivedEmpty = false;
    DM_Object first = nullptr;
    DM_Object second = nullptr;
    std::string path;
    bool pathWasNull = false;
};
WorkRecord sWork;

// Fills `output` as the outcome says, or throws (after making an image, which must not leak).
void Produce(const Image& spectrum, Image& output) {
    sWork.outputArrivedEmpty = output.IsNull();
    switch (sWork.outcome) {
        case Outcome::kNewImage:
            output = CreateReal1DImage("made", 4, 8);
            break;
        case Outcome::kSpectrumItself:
            output = spectrum;
            break;
        case Outcome::kNoImage:
            break;
        case Outcome::kThrowStandard:
            output = CreateReal1DImage("made", 4, 8);
            throw std::runtime_error("the work failed");
        case Outcome::kThrowOther:
            throw 42;
    }
}

String FakeNiOx(Image spectrum, bool a, bool b, bool c, bool d, bool e, bool f, bool g,
                double thickness, Image& fit) {
    sWork.flags = {a, b, c, d, e, f, g};
    sWork.thickness = thickness;
    sWork.first = spectrum.get();
    Produce(spectrum, fit);
    return MakeString("NiOx report");
}

void FakeFilter(Image spectrum, uint32_t filterType, Image& result) {
    sWork.filterType = filterType;
    sWork.first = spectrum.get();
    Produce(spectrum, result);
}

Image FakeImport(String path) {
    sWork.pathWasNull = path.IsNull();
    sWork.path = StringToText(path);
    Image made;
    Produce(Image(), made);
    return made;
}

String FakeIceC(Image first, Image second) {
    sWork.first = first.get();
    sWork.second = second.get();
    Image unused;
    Produce(first, unused);
    return MakeString("IceC report");
}

template <typename Function>
DM_EntryPoint EntryPoint(Function* function) {
    return reinterpret_cast<DM_EntryPoint>(function);
}

class ScriptWrapperTest : public frametest::FrameTest {
  protected:
    void SetUp() override {
        sWork = WorkRecord();
        fMain.AddFunction(
            "dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, "
            "bool, double, ImageRef *)",
            EntryPoint(Zor_NiOx<FakeNiOx>));
        fMain.AddFunction("void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)",
                          EntryPoint(Zor_SpectrumFilter<FakeFilter>));
        fMain.AddFunction("ImageRef Zor_EMSAtoDM(dm_string)", EntryPoint(Zor_EMSAtoDM<FakeImport>));
        fMain.AddFunction("dm_string Zor_NiOxIceC(ImageRef, ImageRef)",
                          EntryPoint(Zor_NiOxIceC<FakeIceC>));
        fSpectrum = fHost.MakeImage(Spec("spectrum"));
    }

    void TearDown() override {
        fMain.RemoveAllFunctions();
        fSpectrum.reset();
        FrameTest::TearDown();
    }

    static dmhost::ImageSpec Spec(const std::string& name) {
        dmhost::ImageSpec spec;
        spec.name = name;
        spec.values = {1, 2, 3, 4};
        return spec;
    }

    int32_t References(DM_Object object) const { return fHost.ReferenceCount(object); }

    dmhost::ScriptResult CallNiOx(dmhost::ObjectRef& variable) {
        std::vector<ScriptValue> args = {ScriptValue::Image(fSpectrum.get())};
        for (bool flag : {true, false, true, true, false, false, true})
            args.push_back(ScriptValue::Bool(flag));
        args.push_back(ScriptValue::Number(12.5));
        args.push_back(ScriptValue::Output(variable));
        return fHost.CallScriptFunction("Zor_NiOx", args);
    }

    dmhost::ScriptResult CallFilter(dmhost::ObjectRef& variable, uint32_t type = 3) {
        return fHost.CallScriptFunction(
            "Zor_SpectrumFilter", {ScriptValue::Image(fSpectrum.get()), ScriptValue::Number(type),
                                   ScriptValue::Output(variable)});
    }

    PlugInMain fMain;
    dmhost::ObjectRef fSpectrum;
};

TEST_F(ScriptWrapperTest, NiOxPassesItsArgumentsInOrderAndReturnsOneReference) {
    dmhost::ObjectRef variable(fHost);
    const int32_t spectrumReferences = References(fSpectrum.get());
    dmhost::ScriptResult result = CallNiOx(variable);
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(result.text, "NiOx report");
    EXPECT_EQ(References(result.value.get()), 1);
    EXPECT_EQ(sWork.flags, (std::array<bool, 7>{true, false, true, true, false, false, true}));
    EXPECT_EQ(sWork.thickness, 12.5);
    EXPECT_EQ(sWork.first, fSpectrum.get());
    EXPECT_TRUE(sWork.outputArrivedEmpty);
    EXPECT_EQ(References(fSpectrum.get()), spectrumReferences);
    ASSERT_TRUE(variable);
    EXPECT_EQ(References(variable.get()), 1);
}

TEST_F(ScriptWrapperTest, AnOutputVariableIsReplacedTwiceWithoutLosingOrLeaking) {
    dmhost::ObjectRef variable = fHost.MakeImage(Spec("old"));
    const Image old = Image::FromBorrowed(variable.get());
    ASSERT_EQ(References(old.get()), 2);

    ASSERT_FALSE(CallNiOx(variable).failed);
    EXPECT_EQ(References(old.get()), 1) << "the variable gave back the old image";
    EXPECT_EQ(References(variable.get()), 1);
    const Image first = Image::FromBorrowed(variable.get());

    ASSERT_FALSE(CallNiOx(variable).failed);
    EXPECT_NE(variable.get(), first.get());
    EXPECT_EQ(References(first.get()), 1);
    EXPECT_EQ(References(variable.get()), 1);

    ASSERT_FALSE(CallFilter(variable).failed);
    EXPECT_EQ(sWork.filterType, 3u);
    ASSERT_FALSE(CallFilter(variable).failed);
    EXPECT_EQ(References(variable.get()), 1);
    EXPECT_EQ(References(old.get()), 1);
    EXPECT_EQ(References(first.get()), 1);
}

TEST_F(ScriptWrapperTest, WorkWithoutAnImageEmptiesTheVariable) {
    sWork.outcome = Outcome::kNoImage;
    dmhost::ObjectRef variable = fHost.MakeImage(Spec("old"));
    const Image old = Image::FromBorrowed(variable.get());
    ASSERT_FALSE(CallFilter(variable).failed);
    EXPECT_FALSE(variable);
    EXPECT_EQ(References(old.get()), 1);
}

TEST_F(ScriptWrapperTest, TheImageTheVariableAlreadyHoldsStaysAsItIs) {
    sWork.outcome = Outcome::kSpectrumItself;
    dmhost::ObjectRef variable(fHost);
    *variable.slot() = Image::FromBorrowed(fSpectrum.get()).Detach();
    const int32_t references = References(fSpectrum.get());
    ASSERT_FALSE(CallNiOx(variable).failed);
    EXPECT_EQ(variable.get(), fSpectrum.get());
    EXPECT_EQ(References(fSpectrum.get()), references);
}

TEST_F(ScriptWrapperTest, FailingWorkLeavesTheVariableAndTheArgumentsAsTheyWere) {
    sWork.outcome = Outcome::kThrowStandard;
    dmhost::ObjectRef variable = fHost.MakeImage(Spec("old"));
    const DM_Object old = variable.get();
    const int32_t spectrumReferences = References(fSpectrum.get());

    dmhost::ScriptResult niox = CallNiOx(variable);
    EXPECT_TRUE(niox.failed);
    EXPECT_EQ(niox.error, "the work failed");
    EXPECT_FALSE(niox.value);
    dmhost::ScriptResult filter = CallFilter(variable);
    EXPECT_TRUE(filter.failed);
    EXPECT_EQ(filter.error, "the work failed");

    EXPECT_EQ(variable.get(), old);
    EXPECT_EQ(References(old), 1);
    EXPECT_EQ(References(fSpectrum.get()), spectrumReferences);
}

TEST_F(ScriptWrapperTest, ImportLendsThePathAndHandsOverTheImage) {
    dmhost::ObjectRef path = fHost.MakeString("/data/spectrum.msa");
    dmhost::ScriptResult result =
        fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::Object(path.get())});
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(sWork.path, "/data/spectrum.msa");
    EXPECT_EQ(References(path.get()), 1);
    ASSERT_TRUE(result.value);
    EXPECT_EQ(References(result.value.get()), 1);
}

TEST_F(ScriptWrapperTest, ImportFailuresReachTheScriptWithTheirMessage) {
    dmhost::ObjectRef path = fHost.MakeString("/data/spectrum.msa");
    sWork.outcome = Outcome::kThrowStandard;
    dmhost::ScriptResult standard =
        fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::Object(path.get())});
    EXPECT_EQ(standard.error, "the work failed");
    EXPECT_FALSE(standard.value);

    sWork.outcome = Outcome::kThrowOther;
    dmhost::ScriptResult other =
        fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::Object(path.get())});
    EXPECT_TRUE(other.failed);
    EXPECT_EQ(other.error, "An unspecified error has occurred.");
    EXPECT_EQ(References(path.get()), 1);
}

TEST_F(ScriptWrapperTest, NullHandleArgumentsArePassedOnAsEmptyHandles) {
    sWork.outcome = Outcome::kNoImage;
    dmhost::ScriptResult import =
        fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::Object(nullptr)});
    EXPECT_TRUE(sWork.pathWasNull);
    EXPECT_FALSE(import.failed) << "the wrapper itself rejects nothing";

    dmhost::ScriptResult icec = fHost.CallScriptFunction(
        "Zor_NiOxIceC", {ScriptValue::Image(fSpectrum.get()), ScriptValue::Image(nullptr)});
    EXPECT_EQ(icec.text, "IceC report");
    EXPECT_EQ(sWork.first, fSpectrum.get());
    EXPECT_EQ(sWork.second, nullptr);
}

TEST_F(ScriptWrapperTest, IceCPassesBothSpectraInOrderAndKeepsTheirCounts) {
    dmhost::ObjectRef other = fHost.MakeImage(Spec("other"));
    dmhost::ScriptResult result = fHost.CallScriptFunction(
        "Zor_NiOxIceC", {ScriptValue::Image(fSpectrum.get()), ScriptValue::Image(other.get())});
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(sWork.first, fSpectrum.get());
    EXPECT_EQ(sWork.second, other.get());
    EXPECT_EQ(References(result.value.get()), 1);
    EXPECT_EQ(References(fSpectrum.get()), 1);
    EXPECT_EQ(References(other.get()), 1);
}

TEST_F(ScriptWrapperTest, WithoutAnOutputVariableTheImageIsGivenBack) {
    Zor_SpectrumFilter<FakeFilter>(fSpectrum.get(), 1, nullptr);
    EXPECT_FALSE(fHost.HasPendingException());
    EXPECT_EQ(fHost.Audit().Objects(dmhost::ObjectClass::kImage), 1) << "only the spectrum";
}

}  // namespace
