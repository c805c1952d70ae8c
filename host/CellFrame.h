// CellFrame: the argument cells of one CallFunction, read and written by the type words of
// the function's signature.
//
// Construction checks the cell count (the result cell plus one per parameter; for a
// variadic signature at least that many) and that every byte after a value's own size is
// zero, and that the result cell arrives zeroed. Each accessor checks that the parameter's
// type word is the one asked for, so a host function cannot read a cell in the wrong form.
// Arguments are numbered from 0 in declaration order, whether or not there is a result cell.
// Handle accessors resolve the raw object through the host and throw HostFailure for a null
// or wrong object; the object stays borrowed.
#ifndef XRAY_HOST_CELLFRAME_H
#define XRAY_HOST_CELLFRAME_H

#include <cstdint>
#include <string>

#include "host/HostObjects.h"

namespace dmhost {

class HostState;

class CellFrame {
  public:
    CellFrame(HostState& host, const Signature& signature, ArgumentCell* cells, int32_t count);

    int32_t ArgumentCount() const { return fArgumentCount; }
    const std::string& FunctionName() const { return fSignature.name; }

    ImageObject& Image(int32_t i) const;     // a valid image
    ImageObject& AnyImage(int32_t i) const;  // valid or not
    TagGroupObject& TagGroup(int32_t i) const;
    StringObject& String(int32_t i) const;
    FunctionObject& Function(int32_t i) const;
    HostObject* OptionalHandle(int32_t i) const;  // null allowed; unknown objects fail
    const char* Text(int32_t i) const;            // never null
    int32_t Long(int32_t i) const;
    uint32_t UInt(int32_t i) const;
    float Float(int32_t i) const;
    double Double(int32_t i) const;
    bool Bool(int32_t i) const;
    void* Pointer(int32_t i) const;
    // The address in an output cell, checked to be the given pointee form and not null.
    template <class T>
    T* Output(int32_t i, TypeWord pointee) const {
        return static_cast<T*>(OutputAddress(i, pointee));
    }

    void ReturnHandle(HostObject* objectWithReference);
    void ReturnBool(bool value);
    void ReturnUInt(uint32_t value);
    void ReturnLong(int32_t value);
    void ReturnPointer(void* value);

  private:
    const ParamType& Param(int32_t i, TypeWord word, bool output) const;
    const ArgumentCell& Cell(int32_t i) const;
    HostObject* Handle(int32_t i, ObjectClass expected, const char* what) const;
    void* OutputAddress(int32_t i, TypeWord pointee) const;
    ArgumentCell& Result(TypeWord word);
    void CheckZeroFill() const;

    HostState& fHost;
    const Signature& fSignature;
    ArgumentCell* fCells;
    int32_t fFirstArgument;
    int32_t fArgumentCount;
};

}  // namespace dmhost

#endif  // XRAY_HOST_CELLFRAME_H
