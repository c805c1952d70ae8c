#include "host/CellFrame.h"

#include <cstring>
#include <string>

#include "host/HostState.h"

namespace dmhost {
namespace {

// Bytes a value of this form occupies at the start of its cell.
size_t ValueSize(const ParamType& type) {
    if (type.output)
        return sizeof(void*);
    switch (type.word) {
        case TypeWord::kHandle:
        case TypeWord::kText:
        case TypeWord::kPointer:
            return sizeof(void*);
        case TypeWord::kInt32:
        case TypeWord::kUInt32:
        case TypeWord::kFloat:
            return 4;
        case TypeWord::kDouble:
            return 8;
        case TypeWord::kBool:
            return 1;
        case TypeWord::kVoid:
            return 0;
    }
    return 0;
}

bool ZeroFrom(const ArgumentCell& cell, size_t from) {
    for (size_t i = from; i < sizeof(cell.bytes); ++i) {
        if (cell.bytes[i] != 0)
            return false;
    }
    return true;
}

std::string Where(const std::string& function, int32_t cell) {
    return function + ": cell " + std::to_string(cell);
}

}  // namespace

CellFrame::CellFrame(HostState& host, const Signature& signature, ArgumentCell* cells,
                     int32_t count)
    : fHost(host),
      fSignature(signature),
      fCells(cells),
      fFirstArgument(signature.HasResult() ? 1 : 0),
      fArgumentCount(count - (signature.HasResult() ? 1 : 0)) {
    const int32_t expected = signature.CellCount();
    const bool countOk = signature.variadic ? count >= expected : count == expected;
    if (!countOk || (count > 0 && cells == nullptr)) {
        fHost.AuditError(signature.name + ": called with " + std::to_string(count) +
                         " cells, expected " + std::to_string(expected));
        throw HostFailure(signature.name + " expects " + std::to_string(expected) +
                          " argument cells, got " + std::to_string(count) + ".");
    }
    CheckZeroFill();
}

void CellFrame::CheckZeroFill() const {
    if (fSignature.HasResult() && !ZeroFrom(fCells[0], 0)) {
        fHost.AuditError(Where(fSignature.name, 0) + " (the result) was not zeroed");
        throw HostFailure(fSignature.name + ": the result cell was not zeroed.");
    }
    for (int32_t i = 0; i < fArgumentCount; ++i) {
        const ParamType& param =
            fSignature.params[std::min<size_t>(i, fSignature.params.size() - 1)];
        if (!ZeroFrom(fCells[fFirstArgument + i], ValueSize(param))) {
            fHost.AuditError(Where(fSignature.name, fFirstArgument + i) +
                             " has bytes after its value that are not zero");
            throw HostFailure(fSignature.name + ": argument cell " +
                              std::to_string(fFirstArgument + i) + " is not zero-filled.");
        }
    }
}

const ParamType& CellFrame::Param(int32_t i, TypeWord word, bool output) const {
    if (i < 0 || i >= fArgumentCount) {
        throw std::logic_error(fSignature.name + ": no argument " + std::to_string(i));
    }
    const size_t index = std::min<size_t>(static_cast<size_t>(i), fSignature.params.size() - 1);
    const ParamType& param = fSignature.params[index];
    if (param.word != word || param.output != output) {
        throw std::logic_error(fSignature.name + ": argument " + std::to_string(i) +
                               " is declared as " + param.text);
    }
    return param;
}

const ArgumentCell& CellFrame::Cell(int32_t i) const {
    return fCells[fFirstArgument + i];
}

HostObject* CellFrame::Handle(int32_t i, ObjectClass expected, const char* what) const {
    Param(i, TypeWord::kHandle, false);
    DM_Object handle = Cell(i).object;
    const std::string context = fSignature.name + " argument " + std::to_string(i + 1);
    if (handle == nullptr)
        throw HostFailure(context + ": no " + what + " given.");
    HostObject* object = fHost.Resolve(handle, context.c_str());
    if (object == nullptr)
        throw HostFailure(context + ": not a live object.");
    if (object->objectClass != expected) {
        fHost.AuditError(context + ": a " + ObjectClassName(object->objectClass) + " where a " +
                         what + " belongs");
        throw HostFailure(context + ": not " + (what[0] == 'i' ? "an " : "a ") + what + ".");
    }
    return object;
}

ImageObject& CellFrame::AnyImage(int32_t i) const {
    return *static_cast<ImageObject*>(Handle(i, ObjectClass::kImage, "image"));
}

ImageObject& CellFrame::Image(int32_t i) const {
    ImageObject& image = AnyImage(i);
    if (!image.valid)
        throw HostFailure(fSignature.name + ": the image is no longer valid.");
    return image;
}

TagGroupObject& CellFrame::TagGroup(int32_t i) const {
    return *static_cast<TagGroupObject*>(Handle(i, ObjectClass::kTagGroup, "tag group"));
}

StringObject& CellFrame::String(int32_t i) const {
    return *static_cast<StringObject*>(Handle(i, ObjectClass::kString, "string"));
}

FunctionObject& CellFrame::Function(int32_t i) const {
    return *static_cast<FunctionObject*>(Handle(i, ObjectClass::kFunction, "function"));
}

HostObject* CellFrame::OptionalHandle(int32_t i) const {
    Param(i, TypeWord::kHandle, false);
    DM_Object handle = Cell(i).object;
    if (handle == nullptr)
        return nullptr;
    const std::string context = fSignature.name + " argument " + std::to_string(i + 1);
    HostObject* object = fHost.Resolve(handle, context.c_str());
    if (object == nullptr)
        throw HostFailure(context + ": not a live object.");
    return object;
}

const char* CellFrame::Text(int32_t i) const {
    Param(i, TypeWord::kText, false);
    const char* text = Cell(i).text;
    if (text == nullptr) {
        throw HostFailure(fSignature.name + " argument " + std::to_string(i + 1) +
                          ": no text given.");
    }
    return text;
}

int32_t CellFrame::Long(int32_t i) const {
    Param(i, TypeWord::kInt32, false);
    return Cell(i).i32;
}

uint32_t CellFrame::UInt(int32_t i) const {
    Param(i, TypeWord::kUInt32, false);
    return Cell(i).u32;
}

float CellFrame::Float(int32_t i) const {
    Param(i, TypeWord::kFloat, false);
    return Cell(i).f32;
}

double CellFrame::Double(int32_t i) const {
    Param(i, TypeWord::kDouble, false);
    return Cell(i).f64;
}

bool CellFrame::Bool(int32_t i) const {
    Param(i, TypeWord::kBool, false);
    return Cell(i).bytes[0] != 0;
}

void* CellFrame::Pointer(int32_t i) const {
    Param(i, TypeWord::kPointer, false);
    return Cell(i).pointer;
}

void* CellFrame::OutputAddress(int32_t i, TypeWord pointee) const {
    Param(i, pointee, true);
    void* address = Cell(i).pointer;
    if (address == nullptr) {
        throw HostFailure(fSignature.name + " argument " + std::to_string(i + 1) +
                          ": no variable given for the output.");
    }
    return address;
}

ArgumentCell& CellFrame::Result(TypeWord word) {
    if (!fSignature.HasResult() || fSignature.result.word != word) {
        throw std::logic_error(fSignature.name + ": result is declared as " +
                               fSignature.result.text);
    }
    return fCells[0];
}

void CellFrame::ReturnHandle(HostObject* objectWithReference) {
    Result(TypeWord::kHandle).object = ToHandle(objectWithReference);
}

void CellFrame::ReturnBool(bool value) {
    Result(TypeWord::kBool).bytes[0] = value ? 1 : 0;
}

void CellFrame::ReturnUInt(uint32_t value) {
    Result(TypeWord::kUInt32).u32 = value;
}

void CellFrame::ReturnLong(int32_t value) {
    Result(TypeWord::kInt32).i32 = value;
}

void CellFrame::ReturnPointer(void* value) {
    Result(TypeWord::kPointer).pointer = value;
}

}  // namespace dmhost
