// FuzzHost: the module's frame linked to one stand-in host for the whole fuzzing process,
// as start-up links it, so that a target can call the script-function wrappers in process.
//
// After each input a target calls ExpectNothingHeld: any object reference, lock or context
// left over, or any misuse the host noticed, aborts the process, which libFuzzer reports
// as a crash with the input that caused it. The host and the link live until exit.
#ifndef XRAY_TESTS_FUZZ_FUZZHOST_H
#define XRAY_TESTS_FUZZ_FUZZHOST_H

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/StandInHost.h"
#include "plugin/HostBinding.h"
#include "plugin/PlugInUtility.h"

namespace fuzz {

class FuzzHost {
  public:
    static FuzzHost& Get() {
        static FuzzHost* instance = new FuzzHost();  // never destroyed: fuzzers exit hard
        return *instance;
    }

    dmhost::StandInHost& host() { return fHost; }

    // Aborts when anything of the host's is still held after a call (where says which).
    // The link itself holds the interfaces and caches host functions between calls, so
    // those two are not counted; every object a call made or took must be given back.
    void ExpectNothingHeld(const char* where) {
        using dmhost::ObjectClass;
        const dmhost::AuditSnapshot audit = fHost.Audit();
        bool held = audit.openContexts != 0 || audit.stringLocks != 0 || audit.imageLocks != 0;
        for (ObjectClass c : {ObjectClass::kImage, ObjectClass::kTagGroup, ObjectClass::kString,
                              ObjectClass::kThrowable, ObjectClass::kScriptClass})
            held = held || audit.References(c) != 0;
        if (held || !fHost.AuditErrors().empty()) {
            std::fprintf(stderr, "%s: host audit after the call: %s\n", where,
                         audit.Describe().c_str());
            for (const std::string& error : fHost.AuditErrors())
                std::fprintf(stderr, "  %s\n", error.c_str());
            std::abort();
        }
    }

    // Clears what a call left for the script to see.
    void Reset() {
        fHost.ClearPendingException();
        fHost.ClearResults();
        fHost.ClearCallLog();
    }

  private:
    FuzzHost() {
        Gatan::PlugIn::LinkHost(fHost.Interface());
        Gatan::PlugIn::LinkPendingHost();
    }

    dmhost::StandInHost fHost;
    Gatan::PlugIn::PlugInLibraryReference fLibrary;
};

}  // namespace fuzz

#endif  // XRAY_TESTS_FUZZ_FUZZHOST_H
