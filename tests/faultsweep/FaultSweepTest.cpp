// The six script functions of the built module against a failing host, as a script calls
// them through the stand-in host:
// - every host function a call uses (learnt from the host's call log of a clean call) is
//   made to fail once; the script must see that failure's message;
// - every allocation a call makes is made to fail once (AllocationFailure.h); the script
//   must see the module's (28810, 14) error or the standard message, or the host's own
//   message when the allocation was the host's;
// - a null image or string argument gives a clear error.
// After each call no reference, lock or context may be left over, and the caller's images
// must be as they were.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "tests/faultsweep/AllocationFailure.h"
#include "tests/nioxdriver/SpectrumImages.h"

using namespace xray;

namespace {

using dmhost::ImageSnapshot;
using dmhost::ObjectClass;
using dmhost::ObjectRef;
using dmhost::ScriptResult;
using dmhost::ScriptValue;
using dmhost::TagValue;

constexpr int32_t kInjectedCode = 28802;
const char kOutOfMemory[] = "An error (28810,14) has occurred.";

// ---- Comparing what the caller holds ----------------------------------------------------

bool SameTags(const TagValue& a, const TagValue& b) {
    if (a.kind != b.kind || a.label != b.label || a.longValue != b.longValue || a.text != b.text ||
        a.members.size() != b.members.size())
        return false;
    if (!(a.doubleValue == b.doubleValue ||
          (a.doubleValue != a.doubleValue && b.doubleValue != b.doubleValue)))
        return false;
    for (size_t i = 0; i < a.members.size(); ++i) {
        if (!SameTags(a.members[i], b.members[i]))
            return false;
    }
    return true;
}

bool SameImage(const ImageSnapshot& a, const ImageSnapshot& b) {
    if (a.name != b.name || a.dataType != b.dataType || a.dimensions != b.dimensions ||
        a.values != b.values || a.intensityUnit != b.intensityUnit || a.valid != b.valid ||
        a.calibrations.size() != b.calibrations.size() || !SameTags(a.tags, b.tags))
        return false;
    for (size_t i = 0; i < a.calibrations.size(); ++i) {
        const auto &ca = a.calibrations[i], &cb = b.calibrations[i];
        if (ca.origin != cb.origin || ca.scale != cb.scale || ca.units != cb.units)
            return false;
    }
    return true;
}

// References held outside the host on the objects a call may make or take, and the locks
// and contexts it may open. (The module keeps its cached host functions between calls.)
struct Holdings {
    std::vector<int32_t> references;
    int32_t locksAndContexts = 0;
    bool operator==(const Holdings& other) const {
        return references == other.references && locksAndContexts == other.locksAndContexts;
    }
};

Holdings HoldingsOf(const dmhost::StandInHost& host) {
    const dmhost::AuditSnapshot audit = host.Audit();
    Holdings holdings;
    for (ObjectClass c : {ObjectClass::kImage, ObjectClass::kTagGroup, ObjectClass::kString,
                          ObjectClass::kThrowable})
        holdings.references.push_back(audit.References(c));
    holdings.locksAndContexts = audit.imageLocks + audit.stringLocks + audit.openContexts;
    return holdings;
}

// ---- One call of a script function, with arguments made fresh for it ------------------

// What a call is given: the images the caller holds (also kept by the test, to compare
// afterwards), an output variable already holding an earlier image, and the arguments.
struct CallSetup {
    std::vector<ObjectRef> images;
    ObjectRef output;
    std::vector<ScriptValue> arguments;
};

struct Recipe {
    std::string label;
    std::string function;
    std::function<void(dmhost::StandInHost&, CallSetup&)> prepare;
};

// One more reference on an image, owned by the returned ObjectRef.
ObjectRef AnotherReference(dmhost::StandInHost& host, DM_Object image) {
    ClassInterface* images = host.NewClassInterface("Gatan:DigitalMicrograph:Image");
    images->table->AddObjectReference(images, image);
    images->table->ReleaseClass(images);
    return ObjectRef(host, image);
}

// A NiOx spectrum, tagged as an import tags it, plus the resolution the top-hats read.
void AddSpectrum(dmhost::StandInHost& host, CallSetup& setup, const char* name) {
    std::vector<TagValue> tags = nioxtest::TagsOf({});
    tags[1].members[0].members.push_back(TagValue::Double("Energy resolution", 130.0));
    setup.images.push_back(host.MakeImage(nioxtest::SpectrumSpec(
        name, nioxtest::SharedSpectrum().counts, 0.0f, 0.01f, dmhost::kReal4Data, tags)));
    setup.arguments.push_back(ScriptValue::Image(setup.images.back().get()));
}

// The output variable, holding an earlier image the test also keeps.
void AddOutput(dmhost::StandInHost& host, CallSetup& setup) {
    dmhost::ImageSpec earlier;
    earlier.name = "Earlier";
    earlier.values = {1, 2, 3};
    setup.images.push_back(host.MakeImage(earlier));
    setup.output = AnotherReference(host, setup.images.back().get());
    setup.arguments.push_back(ScriptValue::Output(setup.output));
}

std::vector<Recipe> Recipes() {
    std::vector<Recipe> recipes = {
        {"Zor_XrayUtilsVersion", "Zor_XrayUtilsVersion", [](auto&, CallSetup&) {}},
        {"Zor_EMSAtoDM", "Zor_EMSAtoDM",
         [](auto&, CallSetup& s) {
             s.arguments = {ScriptValue::String(EXAMPLES_DIR "/NiOx-sample.msa")};
         }},
        {"Zor_NiOx", "Zor_NiOx",
         [](dmhost::StandInHost& host, CallSetup& s) {
             AddSpectrum(host, s, "NiOx");
             for (int i = 0; i < 7; ++i)
                 s.arguments.push_back(ScriptValue::Bool(true));
             s.arguments.push_back(ScriptValue::Number(50.0));
             AddOutput(host, s);
         }},
        {"Zor_NiOxIceC", "Zor_NiOxIceC",
         [](dmhost::StandInHost& host, CallSetup& s) {
             AddSpectrum(host, s, "Before");
             AddSpectrum(host, s, "After");
         }},
        {"XUtilsShellExec", "XUtilsShellExec",
         [](auto&, CallSetup& s) {
             s.arguments = {ScriptValue::String("/nonexistent/xray-fault-sweep.pdf")};
         }},
    };
    for (int type = 1; type <= 4; ++type) {
        recipes.push_back({"Zor_SpectrumFilter type " + std::to_string(type), "Zor_SpectrumFilter",
                           [type](dmhost::StandInHost& host, CallSetup& s) {
                               AddSpectrum(host, s, "Spectrum");
                               s.arguments.push_back(ScriptValue::Number(type));
                               AddOutput(host, s);
                           }});
    }
    return recipes;
}

// ---- The fixture: the built module in a fresh host; one prepared call at a time --------

class FaultSweepTest : public ::testing::TestWithParam<Recipe> {
  protected:
    FaultSweepTest() : fModule(fHost, ZORXRAYUTILS_MODULE_PATH) {}

    void TearDown() override {
        fSetup = CallSetup();
        fModule.Close();
        const dmhost::AuditSnapshot audit = fHost.Audit();
        for (int c = 0; c < dmhost::kObjectClassCount; ++c)
            EXPECT_EQ(audit.references[c], 0) << dmhost::ObjectClassName(ObjectClass(c));
        EXPECT_EQ(fHost.AuditErrors(), std::vector<std::string>());
    }

    // Makes the arguments and remembers what the caller holds before the call.
    void Prepare() {
        fSetup = CallSetup();
        GetParam().prepare(fHost, fSetup);
        fBefore.clear();
        for (const ObjectRef& image : fSetup.images)
            fBefore.push_back(fHost.ReadImage(image.get()));
        fHoldings = HoldingsOf(fHost);
        fHost.ClearCallLog();
        fHost.ClearResults();
    }

    ScriptResult Call() { return fHost.CallScriptFunction(GetParam().function, fSetup.arguments); }

    // After a failed call: no result, nothing held or locked beyond what the caller held,
    // the caller's images as they were. The output variable keeps its image, or (when the
    // work's own boundary reported the failure and its output step ran) holds what the
    // work produced, possibly nothing; the earlier image itself is unchanged either way.
    void ExpectCallerUnharmed(ScriptResult& result, const std::string& what) {
        SCOPED_TRACE(GetParam().label + ", " + what);
        EXPECT_FALSE(result.value) << "a result from a failed call";
        result.value.reset();
        const Holdings after = HoldingsOf(fHost);
        EXPECT_EQ(after.locksAndContexts, fHoldings.locksAndContexts);
        EXPECT_EQ(fHost.AuditErrors(), std::vector<std::string>());
        for (size_t i = 0; i < fSetup.images.size(); ++i) {
            EXPECT_TRUE(SameImage(fHost.ReadImage(fSetup.images[i].get()), fBefore[i]))
                << fBefore[i].name << " changed";
            EXPECT_EQ(fHost.LockCount(fSetup.images[i].get()), 0) << fBefore[i].name;
        }
        ExpectReferencesAsBefore(after);
        fHost.ClearAuditErrors();
    }

    // Every class's references as before the call. An output image that replaced the
    // earlier one took over the variable's reference; an emptied variable gave it back.
    void ExpectReferencesAsBefore(Holdings after) {
        const bool emptied = fSetup.output.host() != nullptr && !fSetup.output;
        if (emptied)  // the variable gave back its reference on the earlier image
            after.references[0] += 1;
        EXPECT_EQ(after.references, fHoldings.references);
    }

    // The host functions a clean call uses, each once, in the order of first use.
    std::vector<std::string> HostCallsOfACleanCall() {
        Prepare();
        ScriptResult result = Call();
        EXPECT_FALSE(result.failed) << GetParam().label << ": " << result.error;
        std::vector<std::string> calls;
        std::set<std::string> seen;
        for (const std::string& name : fHost.CallLog()) {
            if (seen.insert(name).second)
                calls.push_back(name);
        }
        return calls;
    }

    dmhost::StandInHost fHost;
    dmhost::HostedModule fModule;
    CallSetup fSetup;
    std::vector<ImageSnapshot> fBefore;
    Holdings fHoldings;
};

TEST_P(FaultSweepTest, EachHostCallFailingOnceReachesTheScript) {
    const std::vector<std::string> calls = HostCallsOfACleanCall();
    std::printf("%s: %zu host functions\n", GetParam().label.c_str(), calls.size());
    for (const std::string& name : calls) {
        Prepare();
        const std::string message = "The host failed in " + name + " on purpose.";
        fHost.FailNextCall(name, kInjectedCode, message);
        ScriptResult result = Call();
        EXPECT_GE(fHost.CallCount(name), 1) << name << " was not called this time";
        EXPECT_TRUE(result.failed) << name;
        EXPECT_EQ(result.error, message) << name;
        ExpectCallerUnharmed(result, name + " failing");
    }
}

TEST_P(FaultSweepTest, EachAllocationFailingOnceReachesTheScript) {
#ifdef XRAY_NO_ALLOCATION_HOOK
    GTEST_SKIP() << "the module allocates through its own run time";
#endif
    int moduleFailures = 0;
    int64_t n = 1;
    for (;; ++n) {
        Prepare();
        ScriptResult result;
        bool reached = false;
        bool escaped = false;
        {
            faultsweep::FailingAllocation failing(n);
            try {
                result = Call();
            } catch (const std::bad_alloc&) {
                escaped = true;  // the host's own calling steps, around the module
            }
            reached = faultsweep::Disarm();
        }
        if (!reached)
            break;
        if (escaped)
            continue;
        const std::string what = "allocation " + std::to_string(n) + " failing";
        EXPECT_TRUE(result.failed) << what;
        const bool moduleMessage = result.error == kOutOfMemory || result.error == "std::bad_alloc";
        EXPECT_TRUE(moduleMessage || result.error == "Out of memory.")
            << what << ": " << result.error;
        moduleFailures += moduleMessage ? 1 : 0;
        ExpectCallerUnharmed(result, what);
        if (::testing::Test::HasFailure())
            break;
    }
    std::printf("%s: %lld allocations, %d failed inside the module\n", GetParam().label.c_str(),
                static_cast<long long>(n - 1), moduleFailures);
    EXPECT_GT(moduleFailures, 0);
}

std::string LabelOf(const ::testing::TestParamInfo<Recipe>& info) {
    std::string label = info.param.label;
    for (char& c : label)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return label;
}

INSTANTIATE_TEST_SUITE_P(SixFunctions, FaultSweepTest, ::testing::ValuesIn(Recipes()), LabelOf);

}  // namespace
