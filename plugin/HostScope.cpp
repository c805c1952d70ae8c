#include "plugin/HostScope.h"

namespace Gatan {
namespace PlugIn {

HostScope::HostScope()
    : fHost(CurrentHost()),
      fContext(fHost != nullptr ? fHost->table->GetContext(fHost) : nullptr) {}

HostScope::~HostScope() {
    if (fContext != nullptr)
        fContext->table->Release(fContext);
}

}  // namespace PlugIn
}  // namespace Gatan
