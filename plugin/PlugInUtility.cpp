#include "plugin/PlugInUtility.h"

#include <memory>
#include <new>

#include "plugin/ErrorManager.h"
#include "plugin/HostBinding.h"
#include "plugin/HostCall.h"
#include "plugin/HostClasses.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/ImageUtility.h"
#include "plugin/PlugInErrorManager.h"

namespace Gatan {
namespace PlugIn {
namespace {

// Swaps the module's error manager and allocation-failure handler in for its lifetime.
struct PlugInLibraryData {
    PlugInLibraryData()
        : fPreviousNewHandler(std::set_new_handler(PlugInOutOfMemory)),
          fPreviousErrorManager(SetErrorManager(&fErrorManager)) {}
    ~PlugInLibraryData() {
        SetErrorManager(fPreviousErrorManager);
        std::set_new_handler(fPreviousNewHandler);
    }
    PlugInLibraryData(const PlugInLibraryData&) = delete;
    PlugInLibraryData& operator=(const PlugInLibraryData&) = delete;

    std::new_handler fPreviousNewHandler;
    PlugInErrorManager fErrorManager;
    ErrorManager* fPreviousErrorManager;
};

// Made on the first acquisition, so it is destroyed only after the main object whose
// construction made it, whatever the order of the module's other objects.
std::unique_ptr<PlugInLibraryData>& LibraryData() {
    static std::unique_ptr<PlugInLibraryData> sPlugInLibraryData;
    return sPlugInLibraryData;
}
int32_t sPlugInLibraryUsers = 0;

void WriteResults(const char* chars, uint32_t count) {
    Result(MakeString(chars, count));
}

const PlugInCallbacks kCallbacks = {WriteResults,         ShowAlert,          RegisterCustomMenu,
                                    UnregisterCustomMenu, RegisterCustomTool, UnregisterCustomTool,
                                    lock_image_data,      get_locked_data,    unlock_image_data};
const PlugInCallbacks* sCallbacks = nullptr;

// The frame's assertion is known by this source name and number, which the message shows to
// script users; it names the assertion, not a line of this file.
constexpr int32_t kLibraryDataAssertion = 239;

// The module's own hold on the binding. The cached host functions go first, while their
// class interface is still held; the classes go before the last use of the host.
class ModuleHostBinding {
  public:
    ModuleHostBinding() = default;
    ~ModuleHostBinding() { ReleaseHostFunctionSlots(); }

  private:
    HostUse fUse;
    HostClassesUse fClasses;
};

ModuleHostBinding sModuleHostBinding;

}  // namespace

const PlugInCallbacks& GetCallbacks() {
    if (sCallbacks == nullptr)
        sCallbacks = &kCallbacks;
    return *sCallbacks;
}

void AcquirePlugInLibraryData() {
    if (sPlugInLibraryUsers++ == 0) {
        // Without throwing, so that a failure ends in the frame's own assertion.
        LibraryData().reset(new (std::nothrow) PlugInLibraryData());
    }
    if (LibraryData() == nullptr) {
        --sPlugInLibraryUsers;
        AssertionFailed("PlugInUtility", kLibraryDataAssertion, "sPlugInLibraryData != NULL", 1);
    }
}

void ReleasePlugInLibraryData() {
    if (sPlugInLibraryUsers > 0 && --sPlugInLibraryUsers == 0)
        LibraryData().reset();
}

bool HasPlugInLibraryData() {
    return LibraryData() != nullptr;
}

void PlugInOutOfMemory() {
    RaiseError(DM_ERROR_OUT_OF_MEMORY, 14);
}

}  // namespace PlugIn
}  // namespace Gatan
