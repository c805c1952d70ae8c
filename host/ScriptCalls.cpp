// Calling the module's script functions and class methods as a script would.
#include <cmath>
#include <limits>
#include <stdexcept>

#include "host/HostState.h"
#include "host/ScriptCaller.h"
#include "host/StandInHost.h"

namespace dmhost {
namespace {

[[noreturn]] void BadArgument(const Signature& signature, size_t index, const std::string& why) {
    throw std::invalid_argument(signature.name + " argument " + std::to_string(index + 1) + " (" +
                                signature.params[index].text + "): " + why);
}

double Integral(const Signature& signature, size_t index, const ScriptValue& value, double low,
                double high) {
    if (value.kind != ScriptValue::Kind::kNumber)
        BadArgument(signature, index, "needs a number");
    if (value.number != std::floor(value.number) || value.number < low || value.number > high) {
        BadArgument(signature, index, "needs a whole number in range");
    }
    return value.number;
}

CallArgument HandleArgument(StandInHost& host, const Signature& signature, size_t i,
                            const ScriptValue& value, std::vector<ObjectRef>& temporaries) {
    CallArgument argument{};
    if (value.kind == ScriptValue::Kind::kString && signature.params[i].base == "dm_string") {
        temporaries.push_back(host.MakeString(value.text));
        argument.handle = temporaries.back().get();
    } else if (value.kind == ScriptValue::Kind::kObject) {
        argument.handle = value.object;
    } else {
        BadArgument(signature, i, "needs an object");
    }
    return argument;
}

// One argument as the entry point takes it; a String made for a text argument is kept in
// `temporaries` until the call is over.
CallArgument ConvertOne(StandInHost& host, const Signature& signature, size_t i,
                        const ScriptValue& value, std::vector<ObjectRef>& temporaries) {
    CallArgument argument{};
    switch (ShapeLetter(signature.params[i])) {
        case 'H':
            return HandleArgument(host, signature, i, value, temporaries);
        case 'O':
            if (value.kind != ScriptValue::Kind::kImageOutput || value.output == nullptr ||
                value.output->host() != &host) {
                BadArgument(signature, i, "needs an image variable made with this host");
            }
            argument.output = value.output->slot();
            return argument;
        case 'B':
            if (value.kind != ScriptValue::Kind::kBool)
                BadArgument(signature, i, "needs a bool");
            argument.flag = value.flag;
            return argument;
        case 'D':
            if (value.kind != ScriptValue::Kind::kNumber)
                BadArgument(signature, i, "needs a number");
            argument.real = value.number;
            return argument;
        case 'U':
            argument.u32 = static_cast<uint32_t>(
                Integral(signature, i, value, 0, std::numeric_limits<uint32_t>::max()));
            return argument;
        case 'L':
            argument.i32 = static_cast<int32_t>(Integral(signature, i, value,
                                                         std::numeric_limits<int32_t>::min(),
                                                         std::numeric_limits<int32_t>::max()));
            return argument;
        default:
            BadArgument(signature, i, "cannot be passed by the stand-in host");
    }
}

std::vector<CallArgument> Convert(StandInHost& host, const Signature& signature,
                                  const std::vector<ScriptValue>& values,
                                  std::vector<ObjectRef>& temporaries) {
    if (values.size() != signature.params.size()) {
        throw std::invalid_argument(signature.name + " takes " +
                                    std::to_string(signature.params.size()) + " arguments, not " +
                                    std::to_string(values.size()));
    }
    std::vector<CallArgument> arguments;
    for (size_t i = 0; i < values.size(); ++i) {
        arguments.push_back(ConvertOne(host, signature, i, values[i], temporaries));
    }
    return arguments;
}

const FunctionObject& FindScriptFunction(const HostState& state, std::string_view name) {
    for (const FunctionObject* function : state.installed()) {
        if (function->signature.name == name && function->flags == DM_FUNCTION_PLAIN) {
            return *function;
        }
    }
    throw std::invalid_argument("no script function named " + std::string(name) + " is installed");
}

// Moves the pending exception, if any, into the result.
void TakePending(HostState& state, ScriptResult& result) {
    if (state.pending() == nullptr)
        return;
    result.failed = true;
    result.errorCode = state.pending()->code;
    result.error = state.pending()->message;
    state.SetPending(nullptr);
}

// Adopts the returned handle; a returned handle that is no live object is an audit error
// and is not touched.
void AdoptResult(StandInHost& host, DM_Object returned, ScriptResult& result) {
    if (returned == nullptr)
        return;
    HostState& state = host.state();
    HostObject* object = state.Resolve(returned, "script function result");
    if (object == nullptr)
        return;
    result.value = ObjectRef(host, returned);
    if (auto* string = dynamic_cast<StringObject*>(object))
        result.text = string->text;
}

}  // namespace

ScriptResult StandInHost::CallScriptFunction(std::string_view name,
                                             const std::vector<ScriptValue>& args) {
    const FunctionObject& function = FindScriptFunction(*fState, name);
    std::vector<ObjectRef> temporaries;
    const std::vector<CallArgument> arguments =
        Convert(*this, function.signature, args, temporaries);
    fState->SetPending(nullptr);
    DM_Object returned = CallWithShape(function.signature, function.entry, arguments);
    ScriptResult result;
    AdoptResult(*this, returned, result);
    TakePending(*fState, result);
    return result;
}

ScriptResult StandInHost::CallClassMethod(std::string_view className, std::string_view methodName,
                                          std::vector<ArgumentCell> cells) {
    const ScriptClassObject* scriptClass = fState->FindClass(className);
    if (scriptClass == nullptr) {
        throw std::invalid_argument("no script class named " + std::string(className));
    }
    const FunctionObject* method = nullptr;
    for (const FunctionObject* candidate : scriptClass->methods) {
        if (candidate->signature.name == methodName)
            method = candidate;
    }
    if (method == nullptr || method->entry == nullptr) {
        throw std::invalid_argument("class " + std::string(className) + " has no method " +
                                    std::string(methodName));
    }
    if (static_cast<int32_t>(cells.size()) < method->signature.CellCount()) {
        cells.resize(static_cast<size_t>(method->signature.CellCount()));
    }
    fState->SetPending(nullptr);
    HostContext* context = fState->NewContext();
    reinterpret_cast<DM_CellsEntryPoint>(method->entry)(context, nullptr, cells.data());
    context->table->Release(context);
    ScriptResult result;
    TakePending(*fState, result);
    return result;
}

}  // namespace dmhost
