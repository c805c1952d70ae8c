// ArgumentCells: putting values into and taking them out of argument cells.
//
// A value occupies the start of its cell and the other bytes keep whatever they had,
// which is zero in the zero-filled arrays every caller starts with. Handle results taken
// out of a cell are owned by the new handle (the host gave them one reference).
#ifndef XRAY_PLUGIN_ARGUMENTCELLS_H
#define XRAY_PLUGIN_ARGUMENTCELLS_H

#include <cstring>
#include <type_traits>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

template <typename T>
void PutCell(ArgumentCell& cell, T value) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= sizeof(ArgumentCell),
                  "a cell holds one small plain value");
    std::memcpy(cell.bytes, &value, sizeof value);
}

template <typename T>
T GetCell(const ArgumentCell& cell) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= sizeof(ArgumentCell),
                  "a cell holds one small plain value");
    T value;
    std::memcpy(&value, cell.bytes, sizeof value);
    return value;
}

// `bool` and `Boolean` results: the first byte, non-zero is true.
inline bool GetCellTruth(const ArgumentCell& cell) {
    return cell.bytes[0] != 0;
}

// Output handle: the host stores an owned object at the address; whatever it stored is
// given to a handle, also when the call fails after storing.
template <typename Handle>
class OutputObject {
  public:
    OutputObject() = default;
    ~OutputObject() { Handle::TakeOver(fObject); }
    OutputObject(const OutputObject&) = delete;
    OutputObject& operator=(const OutputObject&) = delete;

    DM_Object* address() { return &fObject; }
    Handle Take() {
        DM_Object object = fObject;
        fObject = nullptr;
        return Handle::TakeOver(object);
    }

  private:
    DM_Object fObject = nullptr;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_ARGUMENTCELLS_H
