#include "plugin/HostClasses.h"

#include "plugin/HostBinding.h"
#include "plugin/NullHost.h"

namespace Gatan {
namespace PlugIn {
namespace {

struct HostClassRecord {
    const char* fName;
    int32_t fUseCount;
    ClassInterface* fInterface;
    bool fInRelinkList;
};

HostClassRecord sClasses[kHostClassCount] = {
    {"Gatan:DigitalMicrograph:Image", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:RegionOfInterest", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:Component", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:ImageDisplay", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:LinePlotImageDisplay", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:RasterImageDisplay", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:SurfacePlotImageDisplay", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:ImageDocument", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:TagGroup", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:Window", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:String", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:ScriptObject", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:Throwable", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:Function", 0, nullptr, false},
    {"Gatan:DigitalMicrograph:ScriptClass", 0, nullptr, false},
};

void GiveBack(HostClassRecord& record) {
    ClassInterface* previous = record.fInterface;
    record.fInterface = nullptr;
    if (previous != nullptr)
        previous->table->ReleaseClass(previous);
}

void Fetch(HostClassRecord& record, HostInterface* host) {
    GiveBack(record);
    if (host != nullptr)
        record.fInterface = host->table->GetClass(host, 0, record.fName);
}

// A class nobody holds any more is not fetched again: that reference would never be
// given back.
void Relink(HostInterface* host, void* argument) {
    HostClassRecord& record = *static_cast<HostClassRecord*>(argument);
    if (record.fUseCount > 0)
        Fetch(record, host);
}

}  // namespace

const char* HostClassName(HostClassId id) {
    return sClasses[id].fName;
}

ClassInterface* AcquireClass(HostClassId id) {
    HostClassRecord& record = sClasses[id];
    if (++record.fUseCount == 1) {
        Fetch(record, CurrentHost());
        if (!record.fInRelinkList) {
            AddRelinkEntry(Relink, &record);
            record.fInRelinkList = true;
        }
    }
    return HostClass(id);
}

void ReleaseClass(HostClassId id) {
    HostClassRecord& record = sClasses[id];
    if (record.fUseCount > 0 && --record.fUseCount == 0)
        GiveBack(record);
}

ClassInterface* HostClass(HostClassId id) {
    ClassInterface* held = sClasses[id].fInterface;
    return held != nullptr ? held : NullHostClass();
}

bool HoldsClassInterface(HostClassId id) {
    ClassInterface* held = sClasses[id].fInterface;
    return held != nullptr && held != NullHostClass();
}

HostClassesUse::HostClassesUse() {
    for (int id = 0; id < kHostClassCount; ++id)
        AcquireClass(static_cast<HostClassId>(id));
}

HostClassesUse::~HostClassesUse() {
    for (int id = kHostClassCount - 1; id >= 0; --id)
        ReleaseClass(static_cast<HostClassId>(id));
}

}  // namespace PlugIn
}  // namespace Gatan
