#include "plugin/HostBinding.h"

#include <atomic>
#include <cstdlib>

#include "plugin/NullHost.h"

namespace Gatan {
namespace PlugIn {
namespace {

// Constant-initialised, so they are usable by any module-level constructor whatever the
// order in which the module's objects are built.
std::atomic<int32_t> sHostUseCount{0};
HostInterface* sCurrentHost = nullptr;
HostInterface* sPendingHost = nullptr;

struct RelinkEntry {
    RelinkAction fAction;
    void* fArgument;
};
// One entry per host class; a few spare places.
constexpr int kRelinkCapacity = 32;
RelinkEntry sRelinkList[kRelinkCapacity] = {};
int sRelinkCount = 0;

void AddHostReference(HostInterface* host) {
    if (host != nullptr)
        host->table->AddReference(host);
}

void ReleaseHost(HostInterface* host) {
    if (host != nullptr)
        host->table->Release(host);
}

// Reference the new interface before releasing the old: they may be the same.
void MakeCurrent(HostInterface* host) {
    AddHostReference(host);
    HostInterface* previous = sCurrentHost;
    sCurrentHost = host;
    ReleaseHost(previous);
}

}  // namespace

HostUse::HostUse() {
    AcquireHostUse();
}
HostUse::~HostUse() {
    ReleaseHostUse();
}

void AcquireHostUse() {
    if (sHostUseCount.fetch_add(1) + 1 == 1)
        MakeCurrent(NullHost());
}

void ReleaseHostUse() {
    if (sHostUseCount.fetch_sub(1) - 1 == 0) {
        HostInterface* previous = sCurrentHost;
        sCurrentHost = nullptr;
        ReleaseHost(previous);
    }
}

int32_t HostUseCount() {
    return sHostUseCount.load();
}
HostInterface* CurrentHost() {
    return sCurrentHost;
}
HostInterface* PendingHost() {
    return sPendingHost;
}

void LinkHost(HostInterface* host) {
    if (host == sPendingHost)
        return;
    AddHostReference(host);
    HostInterface* previous = sPendingHost;
    sPendingHost = host;
    ReleaseHost(previous);
}

void LinkPendingHost() {
    HostInterface* taken = sPendingHost;
    sPendingHost = nullptr;
    MakeCurrent(taken != nullptr ? taken : NullHost());
    // The pending slot's reference ends here; the current slot holds its own.
    ReleaseHost(taken);
    for (int i = sRelinkCount - 1; i >= 0; --i) {
        sRelinkList[i].fAction(sCurrentHost, sRelinkList[i].fArgument);
    }
}

void AddRelinkEntry(RelinkAction action, void* argument) {
    // The list is sized for every host class; running out is a build mistake.
    if (sRelinkCount == kRelinkCapacity)
        std::abort();
    sRelinkList[sRelinkCount++] = RelinkEntry{action, argument};
}

}  // namespace PlugIn
}  // namespace Gatan
