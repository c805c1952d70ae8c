// Signature: a host script-function signature text taken apart into its result, name and
// parameters, each classified by its type word as the cells carry it.
//
//   handle    ImageRef, RealImagePtr, BasicImage, Image *, TagGroup, Function, ScriptObject,
//             ScriptClass, dm_string: the raw object in the cell, borrowed
//   text      string: address of NUL-terminated 8-bit text
//   int32     long; uint32: uint32, ulong; float; double; bool/Boolean
//   pointer   void *: the pointer itself
//   output    any other X *: the address of the caller's variable (handle outputs receive an
//             object carrying one reference)
//
// ParseSignature throws std::invalid_argument for text it cannot read.
#ifndef XRAY_HOST_SIGNATURE_H
#define XRAY_HOST_SIGNATURE_H

#include <string>
#include <string_view>
#include <vector>

namespace dmhost {

enum class TypeWord { kVoid, kHandle, kText, kInt32, kUInt32, kFloat, kDouble, kBool, kPointer };

struct ParamType {
    TypeWord word = TypeWord::kVoid;
    bool output = false;  // an X * output argument: `word` is then the pointee
    std::string base;     // the type word before any stars ("dm_string", "ImageRef")
    std::string text;     // the type as written, for messages
};

struct Signature {
    std::string name;
    ParamType result;  // kVoid when the function has none
    std::vector<ParamType> params;
    bool variadic = false;  // the last parameter repeats ("long *dimension_info...")

    bool HasResult() const { return result.word != TypeWord::kVoid || result.output; }
    // Cells a call passes when each parameter appears once.
    int32_t CellCount() const {
        return (HasResult() ? 1 : 0) + static_cast<int32_t>(params.size());
    }
    // A compact key of the call's shape, for example "H:HBD" (see ShapeLetter).
    std::string ShapeKey() const;
};

Signature ParseSignature(std::string_view text);

// One letter per cell form: V void, H handle, O handle output, B bool, D double, F float,
// L long, U uint32, S text, P pointer, X other output.
char ShapeLetter(const ParamType& type);

}  // namespace dmhost

#endif  // XRAY_HOST_SIGNATURE_H
