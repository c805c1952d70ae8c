#include "host/ScriptCaller.h"

#include <map>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace dmhost {
namespace {

using Invoker = DM_Object (*)(DM_EntryPoint, const std::vector<CallArgument>&);

template <class T>
T Get(const CallArgument& argument);
template <>
DM_Object Get<DM_Object>(const CallArgument& argument) {
    return argument.handle;
}
template <>
DM_Object* Get<DM_Object*>(const CallArgument& argument) {
    return argument.output;
}
template <>
bool Get<bool>(const CallArgument& argument) {
    return argument.flag;
}
template <>
double Get<double>(const CallArgument& argument) {
    return argument.real;
}
template <>
uint32_t Get<uint32_t>(const CallArgument& argument) {
    return argument.u32;
}
template <>
int32_t Get<int32_t>(const CallArgument& argument) {
    return argument.i32;
}

template <class R, class... P, size_t... I>
DM_Object InvokeWith(DM_EntryPoint entry, const std::vector<CallArgument>& arguments,
                     std::index_sequence<I...>) {
    auto function = reinterpret_cast<R(DM_CDECL*)(P...)>(entry);
    if constexpr (std::is_void_v<R>) {
        function(Get<P>(arguments[I])...);
        return nullptr;
    } else {
        return function(Get<P>(arguments[I])...);
    }
}

template <class R, class... P>
DM_Object Invoke(DM_EntryPoint entry, const std::vector<CallArgument>& arguments) {
    return InvokeWith<R, P...>(entry, arguments, std::index_sequence_for<P...>{});
}

using H = DM_Object;
using O = DM_Object*;

const std::map<std::string, Invoker>& Shapes() {
    static const std::map<std::string, Invoker> shapes = {
        {"H:", Invoke<H>},
        {"H:H", Invoke<H, H>},
        {"H:HH", Invoke<H, H, H>},
        {"H:HHH", Invoke<H, H, H, H>},
        {"H:HD", Invoke<H, H, double>},
        {"H:HU", Invoke<H, H, uint32_t>},
        {"H:HL", Invoke<H, H, int32_t>},
        {"H:HBBBBBBBDO", Invoke<H, H, bool, bool, bool, bool, bool, bool, bool, double, O>},
        {"V:", Invoke<void>},
        {"V:H", Invoke<void, H>},
        {"V:HH", Invoke<void, H, H>},
        {"V:HO", Invoke<void, H, O>},
        {"V:HUO", Invoke<void, H, uint32_t, O>},
    };
    return shapes;
}

}  // namespace

bool HasCallShape(const Signature& signature) {
    return Shapes().count(signature.ShapeKey()) != 0;
}

DM_Object CallWithShape(const Signature& signature, DM_EntryPoint entry,
                        const std::vector<CallArgument>& arguments) {
    auto shape = Shapes().find(signature.ShapeKey());
    if (shape == Shapes().end() || arguments.size() != signature.params.size()) {
        throw std::logic_error("no call shape for " + signature.name);
    }
    return shape->second(entry, arguments);
}

}  // namespace dmhost
