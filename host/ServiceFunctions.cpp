// Host functions outside images and tags: the Results window and alerts, file-name help,
// custom menus and tools, script classes and their methods.
#include <string>

#include "host/CellFrame.h"
#include "host/HostFunctions.h"

namespace dmhost {
namespace {

void Result(HostState& host, CellFrame& frame) {
    host.results += frame.String(0).text;
}

void ShowAlert(HostState& host, CellFrame& frame) {
    host.alerts.push_back(Alert{frame.Text(0), frame.Long(1)});
}

// Folders end at the last '/' or '\'; the extension starts at the last '.' after that,
// unless the name starts with it (".profile" keeps its name).
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

void PathExtractBaseName(HostState& host, CellFrame& frame) {
    const std::string& path = frame.String(0).text;
    frame.UInt(1);  // the format; every format gives the same base name here
    frame.ReturnHandle(GiveOut(host, host.NewString(BaseName(path))));
}

void RegisterCustomMenu(HostState& host, CellFrame& frame) {
    frame.Long(0);
    frame.ReturnLong(host.nextCustomId++);
}

void RegisterCustomTool(HostState& host, CellFrame& frame) {
    frame.Text(0);
    frame.Long(1);
    frame.ReturnLong(host.nextCustomId++);
}

void UnregisterCustom(HostState&, CellFrame& frame) {
    frame.Long(0);
}

void RegisterClass(HostState& host, CellFrame& frame) {
    const std::string name = frame.String(0).text;
    frame.String(1);
    frame.Pointer(2);
    frame.Pointer(3);
    frame.Long(4);
    frame.ReturnHandle(GiveOut(host, host.RegisterClass(name)));
}

// Removing a class that is not registered does nothing: shut-down may ask twice.
void UnregisterClass(HostState& host, CellFrame& frame) {
    host.UnregisterClass(frame.String(0).text);
}

void NewCallbackFunction(HostState& host, CellFrame& frame) {
    const std::string signature = frame.String(0).text;
    void* entry = frame.Pointer(1);
    const uint32_t flags = frame.UInt(2);
    if (entry == nullptr)
        throw HostFailure("NewCallbackFunction: no entry point given.");
    if (flags != DM_FUNCTION_CELLS) {
        throw HostFailure(
            "NewCallbackFunction: the stand-in host calls callbacks only with "
            "flags 4, not " +
            std::to_string(flags) + ".");
    }
    auto function = std::make_unique<FunctionObject>();
    try {
        function->signature = ParseSignature(signature);
    } catch (const std::invalid_argument& error) {
        throw HostFailure(std::string("NewCallbackFunction: ") + error.what());
    }
    function->signatureText = signature;
    function->flags = flags;
    function->entry = reinterpret_cast<DM_EntryPoint>(entry);
    frame.ReturnHandle(GiveOut(host, host.store().Adopt(std::move(function))));
}

void ClassAddMethod(HostState& host, CellFrame& frame) {
    const std::string className = frame.String(0).text;
    FunctionObject& method = frame.Function(1);
    ScriptClassObject* scriptClass = host.FindClass(className);
    if (scriptClass == nullptr) {
        throw HostFailure("ClassAddMethod: no script class named \"" + className + "\".");
    }
    host.store().AddHost(&method);
    scriptClass->methods.push_back(&method);
    frame.ReturnHandle(GiveOut(host, &method));
}

// No script objects exist in the stand-in host, so neither look-up ever finds one.
void ScriptObjectGetClassIndex(HostState&, CellFrame& frame) {
    frame.OptionalHandle(0);
    frame.String(1);
    frame.Bool(2);
    frame.Output<uint32_t>(3, TypeWord::kUInt32);
    frame.Output<uint32_t>(4, TypeWord::kUInt32);
    frame.ReturnBool(false);
}

void ScriptObjectGetClassTokenByIndex(HostState&, CellFrame& frame) {
    frame.OptionalHandle(0);
    frame.UInt(1);
    frame.UInt(2);
    frame.Bool(3);
    frame.Output<uint32_t>(4, TypeWord::kUInt32);
    frame.ReturnBool(false);
}

}  // namespace

std::vector<BuiltinFunction> ServiceFunctions() {
    return {
        {"void Result( dm_string )", Result},
        {"void ShowAlert( string, long )", ShowAlert},
        {"dm_string PathExtractBaseName( dm_string, ulong )", PathExtractBaseName},
        {"long RegisterCustomMenu( long )", RegisterCustomMenu},
        {"long RegisterCustomTool( string, long )", RegisterCustomTool},
        {"void UnregisterCustomMenu( long )", UnregisterCustom},
        {"void UnregisterCustomTool( long )", UnregisterCustom},
        {"ScriptClass RegisterClass( dm_string, dm_string, void *, void *, long )", RegisterClass},
        {"void UnregisterClass( dm_string )", UnregisterClass},
        {"Function NewCallbackFunction( dm_string, void *, uint32 )", NewCallbackFunction},
        {"Function ClassAddMethod( dm_string, Function )", ClassAddMethod},
        {"bool ScriptObjectGetClassIndex( ScriptObject, dm_string, bool, ulong *, ulong * )",
         ScriptObjectGetClassIndex},
        {"bool ScriptObjectGetClassTokenByIndex( ScriptObject, ulong, ulong, bool, ulong * )",
         ScriptObjectGetClassTokenByIndex},
    };
}

const std::vector<BuiltinFunction>& BuiltinFunctions() {
    static const std::vector<BuiltinFunction> all = [] {
        std::vector<BuiltinFunction> functions;
        for (auto group : {ImageFunctions, ImageDataFunctions, TagFunctions, ServiceFunctions}) {
            std::vector<BuiltinFunction> more = group();
            functions.insert(functions.end(), more.begin(), more.end());
        }
        return functions;
    }();
    return all;
}

}  // namespace dmhost
