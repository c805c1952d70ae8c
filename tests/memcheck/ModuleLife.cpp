// module_life: one whole life of the built module in the stand-in host, for a memory
// checker to watch: load, link, start, run, each of the six script functions on the
// bundled sample spectra (every NiOx evaluation, every filter), clean up, shut down,
// unload. Exits non-zero when a call fails, when a step leaves the host an exception, or
// when the host's audit shows anything held afterwards.
//
// Usage: module_life MODULE EXAMPLES_FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"

namespace {

using dmhost::ObjectRef;
using dmhost::ScriptResult;
using dmhost::ScriptValue;

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "module_life: %s\n", what.c_str());
        ++failures;
    }
}

ScriptResult Call(dmhost::StandInHost& host, const char* function,
                  const std::vector<ScriptValue>& arguments) {
    ScriptResult result = host.CallScriptFunction(function, arguments);
    Check(!result.failed, std::string(function) + " failed: " + result.error);
    return result;
}

void CheckNothingHeld(const dmhost::StandInHost& host) {
    dmhost::AuditSnapshot held = host.Audit();
    held.objects = {};  // the host's own objects may live on; nothing may be held on them
    Check(held == dmhost::AuditSnapshot(), "the host still sees: " + held.Describe());
    for (const std::string& error : host.AuditErrors())
        Check(false, "audit: " + error);
}

// A copy of an imported spectrum with the detector resolution the top-hat filters read
// (a script sets it; EMSA/MAS files do not carry it).
ObjectRef WithResolution(dmhost::StandInHost& host, DM_Object spectrum) {
    const dmhost::ImageSnapshot image = host.ReadImage(spectrum);
    dmhost::ImageSpec spec;
    spec.name = image.name;
    spec.dataType = image.dataType;
    spec.values = image.values;
    spec.calibrations = image.calibrations;
    spec.intensityUnit = image.intensityUnit;
    spec.tags = image.tags.members;
    for (dmhost::TagValue& group : spec.tags) {
        for (dmhost::TagValue& member : group.members) {
            if (group.label == "EDS" && member.label == "Detector info")
                member.members.push_back(dmhost::TagValue::Double("Energy resolution", 130.0));
        }
    }
    return host.MakeImage(spec);
}

// Every function once; images made here are gone when this returns.
void CallEveryFunction(dmhost::StandInHost& host, const std::string& examples) {
    Call(host, "Zor_XrayUtilsVersion", {});
    const ScriptResult sample =
        Call(host, "Zor_EMSAtoDM", {ScriptValue::String(examples + "/NiOx-sample.msa")});
    const ScriptResult covered =
        Call(host, "Zor_EMSAtoDM", {ScriptValue::String(examples + "/NiOx-sample-ice-carbon.msa")});
    if (!sample.value || !covered.value)
        return;
    ObjectRef fit(host);
    std::vector<ScriptValue> niox = {ScriptValue::Image(sample.value.get())};
    for (int i = 0; i < 7; ++i)
        niox.push_back(ScriptValue::Bool(true));
    niox.push_back(ScriptValue::Number(50.0));
    niox.push_back(ScriptValue::Output(fit));
    Call(host, "Zor_NiOx", niox);
    Call(host, "Zor_NiOxIceC",
         {ScriptValue::Image(sample.value.get()), ScriptValue::Image(covered.value.get())});
    ObjectRef filtered(host);
    const ObjectRef resolved = WithResolution(host, sample.value.get());
    for (int type = 1; type <= 4; ++type) {
        Call(host, "Zor_SpectrumFilter",
             {ScriptValue::Image(resolved.get()), ScriptValue::Number(type),
              ScriptValue::Output(filtered)});
    }
    Call(host, "XUtilsShellExec", {ScriptValue::String("/nonexistent/module-life.pdf")});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: module_life MODULE EXAMPLES_FOLDER\n");
        return 2;
    }
    try {
        dmhost::StandInHost host;
        {
            dmhost::HostedModule module(host, argv[1]);
            Check(!host.HasPendingException(), "start-up: " + host.PendingExceptionMessage());
            CallEveryFunction(host, argv[2]);
            module.Close();
            Check(!host.HasPendingException(), "shut-down: " + host.PendingExceptionMessage());
        }
        CheckNothingHeld(host);
    } catch (const std::exception& error) {
        Check(false, error.what());
    }
    std::printf("module_life: %s\n", failures == 0 ? "every step succeeded" : "FAILED");
    return failures == 0 ? 0 : 1;
}
