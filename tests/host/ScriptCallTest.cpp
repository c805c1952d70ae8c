// Installing script functions and calling them as a script would: typed call shapes,
// output variables, pending exceptions, and class methods called with cells.
#include <gtest/gtest.h>

#include <string>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

// What the fake script functions below saw; they run inside the host's calls.
struct Seen {
    dmhost::StandInHost* host = nullptr;
    std::string flags;
    double number = 0;
    uint32_t selector = 0;
    std::string text;
    DM_Object image = nullptr;
    HostContext* context = nullptr;
    ArgumentCell* cells = nullptr;
};
Seen seen;

DM_Object NewHostString(const char* text) {
    HostInterface* hi = seen.host->Interface();
    HostContext* context = hi->table->GetContext(hi);
    DM_Object string = context->table->NewString(context, 0, text, std::strlen(text));
    context->table->Release(context);
    return string;
}

void RaiseInHost(HostContext* context, const char* message) {
    DM_Object throwable =
        context->table->MakeThrowable(context, 28802, reinterpret_cast<DM_ErrorDetail>(message));
    context->table->SetException(context, throwable);
    // The throwable's own reference goes back; the host keeps the pending one.
    ClassInterface* throwables = seen.host->NewClassInterface("Gatan:DigitalMicrograph:Throwable");
    throwables->table->ReleaseObject(throwables, throwable);
    throwables->table->ReleaseClass(throwables);
}

DM_Object DM_CDECL Version() {
    return NewHostString("0.14");
}

DM_Object DM_CDECL NiOx(DM_Object image, bool a, bool b, bool c, bool d, bool e, bool f, bool g,
                        double thickness, DM_Object* fit) {
    seen.image = image;
    for (bool flag : {a, b, c, d, e, f, g})
        seen.flags += flag ? '1' : '0';
    seen.number = thickness;
    dmhost::ImageSpec spec;
    spec.name = "Gaussian Fit";
    spec.values = {1, 2};
    DM_Object made = seen.host->MakeImage(spec).release();
    dmhost::ObjectRef old(*seen.host, *fit);  // the variable's old reference goes
    *fit = made;
    return NewHostString("report");
}

void DM_CDECL Filter(DM_Object, uint32_t selector, DM_Object*) {
    seen.selector = selector;
    if (selector > 4) {
        HostInterface* hi = seen.host->Interface();
        HostContext* context = hi->table->GetContext(hi);
        RaiseInHost(context, "FilterType is out of range, should be 1-4.");
        context->table->Release(context);
    }
}

void DM_CDECL Shell(DM_Object text) {
    seen.text = seen.host->ReadText(text);
}

void DM_CDECL LockMemory(HostContext* context, void*, ArgumentCell* cells) {
    seen.context = context;
    seen.cells = cells;
    RaiseInHost(context, "Attempt to dispatch off a null object.");
}

class ScriptCallTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        seen = Seen{};
        seen.host = &fHost;
    }
    void TearDown() override {
        for (DM_Object function : fInstalled) {
            Interface()->table->UninstallFunction(Interface(), function);
            ReleaseFunction(function);
        }
        HostTest::TearDown();
        EXPECT_EQ(fHost.Audit(), fBaseline);
    }
    DM_Object Install(const char* signature, void* entry, uint32_t flags = DM_FUNCTION_PLAIN) {
        DM_Object function = Interface()->table->InstallFunction(
            Interface(), 0, 0, signature, flags, reinterpret_cast<DM_EntryPoint>(entry));
        if (function != nullptr)
            fInstalled.push_back(function);
        return function;
    }
    std::vector<DM_Object> fInstalled;
};

using dmhost::ScriptValue;

TEST_F(ScriptCallTest, InstalledFunctionsAreKeptInOrderAndRemovedBySignature) {
    Install("dm_string Zor_XrayUtilsVersion(void)", reinterpret_cast<void*>(Version));
    Install("void XUtilsShellExec(dm_string)", reinterpret_cast<void*>(Shell));
    const auto functions = fHost.InstalledFunctions();
    ASSERT_EQ(functions.size(), 2u);
    EXPECT_EQ(functions[0].name, "Zor_XrayUtilsVersion");
    EXPECT_EQ(functions[1].signature, "void XUtilsShellExec(dm_string)");
    EXPECT_EQ(functions[1].flags, 3u);
    EXPECT_EQ(fHost.ReferenceCount(fInstalled[0]), 1) << "the installer's reference";

    Interface()->table->UninstallFunction(Interface(), fInstalled[1]);
    EXPECT_EQ(fHost.UninstalledSignatures(),
              std::vector<std::string>{"void XUtilsShellExec(dm_string)"});
    EXPECT_THROW(fHost.CallScriptFunction("XUtilsShellExec", {ScriptValue::String("x")}),
                 std::invalid_argument);
    ReleaseFunction(fInstalled[1]);
    fInstalled.pop_back();
}

TEST_F(ScriptCallTest, SignaturesWithoutAKnownShapeAreRefusedAtInstallation) {
    EXPECT_EQ(Install("dm_string Weird(float, float)", reinterpret_cast<void*>(Version)), nullptr);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "InstallFunction: the stand-in host has no call shape H:FF for \"dm_string "
              "Weird(float, float)\".");
    EXPECT_EQ(Install("dm_string Version(void)", reinterpret_cast<void*>(Version), 5), nullptr);
    EXPECT_EQ(fHost.PendingExceptionMessage(),
              "InstallFunction: flags 5 are not supported (3 or 4).");
    EXPECT_EQ(Install("not a signature", reinterpret_cast<void*>(Version)), nullptr);
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    fHost.ClearPendingException();
}

TEST_F(ScriptCallTest, AResultHandleArrivesWithItsOneReference) {
    Install("dm_string Zor_XrayUtilsVersion(void)", reinterpret_cast<void*>(Version));
    auto result = fHost.CallScriptFunction("Zor_XrayUtilsVersion", {});
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.text, "0.14");
    EXPECT_EQ(fHost.ReferenceCount(result.value.get()), 1);
}

TEST_F(ScriptCallTest, BoolsDoublesAndOutputVariablesReachTheFunction) {
    Install(
        "dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, bool, double, "
        "ImageRef *)",
        reinterpret_cast<void*>(NiOx));
    auto spectrum = Image1D({1, 2, 3});
    dmhost::ObjectRef fit(fHost);
    fit = Image1D({9});
    DM_Object oldFit = fit.get();
    std::vector<ScriptValue> args = {ScriptValue::Image(spectrum.get())};
    for (bool flag : {true, false, true, true, false, false, true}) {
        args.push_back(ScriptValue::Bool(flag));
    }
    args.push_back(ScriptValue::Number(12.5));
    args.push_back(ScriptValue::Output(fit));

    auto result = fHost.CallScriptFunction("Zor_NiOx", args);
    EXPECT_EQ(result.text, "report");
    EXPECT_EQ(seen.flags, "1011001");
    EXPECT_EQ(seen.number, 12.5);
    EXPECT_EQ(seen.image, spectrum.get());
    EXPECT_FALSE(fHost.IsLive(oldFit)) << "the variable's old image was released";
    EXPECT_EQ(fHost.ReadImage(fit.get()).name, "Gaussian Fit");
    EXPECT_EQ(fHost.ReferenceCount(fit.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
}

TEST_F(ScriptCallTest, APendingExceptionReachesTheScriptAndIsCleared) {
    Install("void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)",
            reinterpret_cast<void*>(Filter));
    auto spectrum = Image1D({1});
    dmhost::ObjectRef out(fHost);
    auto ok = fHost.CallScriptFunction(
        "Zor_SpectrumFilter",
        {ScriptValue::Image(spectrum.get()), ScriptValue::Number(3), ScriptValue::Output(out)});
    EXPECT_FALSE(ok.failed);
    EXPECT_EQ(seen.selector, 3u);

    auto bad = fHost.CallScriptFunction(
        "Zor_SpectrumFilter",
        {ScriptValue::Image(spectrum.get()), ScriptValue::Number(5), ScriptValue::Output(out)});
    EXPECT_TRUE(bad.failed);
    EXPECT_EQ(bad.error, "FilterType is out of range, should be 1-4.");
    EXPECT_EQ(bad.errorCode, 28802);
    EXPECT_FALSE(fHost.HasPendingException());
    EXPECT_EQ(out.get(), nullptr);
}

TEST_F(ScriptCallTest, ArgumentsThatDoNotFitTheSignatureAreRefusedBeforeTheCall) {
    Install("void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)",
            reinterpret_cast<void*>(Filter));
    Install("void XUtilsShellExec(dm_string)", reinterpret_cast<void*>(Shell));
    auto spectrum = Image1D({1});
    dmhost::ObjectRef out(fHost);
    auto call = [&](std::vector<ScriptValue> args) {
        return fHost.CallScriptFunction("Zor_SpectrumFilter", args);
    };
    EXPECT_THROW(call({ScriptValue::Image(spectrum.get())}), std::invalid_argument);
    EXPECT_THROW(call({ScriptValue::Image(spectrum.get()), ScriptValue::Number(-1),
                       ScriptValue::Output(out)}),
                 std::invalid_argument);
    EXPECT_THROW(call({ScriptValue::Image(spectrum.get()), ScriptValue::Number(1.5),
                       ScriptValue::Output(out)}),
                 std::invalid_argument);
    EXPECT_THROW(
        call({ScriptValue::String("no"), ScriptValue::Number(1), ScriptValue::Output(out)}),
        std::invalid_argument)
        << "text is made into a String only for dm_string parameters";
    EXPECT_THROW(fHost.CallScriptFunction("Nothing", {}), std::invalid_argument);
    EXPECT_EQ(seen.selector, 0u) << "nothing was called";

    auto shell =
        fHost.CallScriptFunction("XUtilsShellExec", {ScriptValue::String("/no/such/file.pdf")});
    EXPECT_EQ(seen.text, "/no/such/file.pdf");
    EXPECT_FALSE(shell.failed);
}

TEST_F(ScriptCallTest, ClassMethodsAreCalledWithAContextAndTheCells) {
    auto name = fHost.MakeString("0x1234_pluginmemorybuffer");
    auto empty = fHost.MakeString("");
    auto cells = Cells(6);
    cells[1].object = name.get();
    cells[2].object = empty.get();
    ASSERT_EQ(
        Call("ScriptClass RegisterClass( dm_string, dm_string, void *, void *, long )", cells),
        DM_CALL_OK);
    Own(cells[0].object);

    auto signature = fHost.MakeString(
        "threadsafe void *LockMemory( ScriptObject buffer, uint32 *size, void **lock_data )");
    cells = Cells(4);
    cells[1].object = signature.get();
    cells[2].pointer = reinterpret_cast<void*>(LockMemory);
    cells[3].u32 = DM_FUNCTION_CELLS;
    ASSERT_EQ(Call("Function NewCallbackFunction( dm_string, void *, uint32 )", cells), DM_CALL_OK);
    auto method = Own(cells[0].object);
    cells = Cells(3);
    cells[1].object = name.get();
    cells[2].object = method.get();
    ASSERT_EQ(Call("Function ClassAddMethod( dm_string, Function )", cells), DM_CALL_OK);
    Own(cells[0].object);
    EXPECT_EQ(fHost.ClassMethods("0x1234_pluginmemorybuffer").size(), 1u);

    auto result = fHost.CallClassMethod("0x1234_pluginmemorybuffer", "LockMemory", {});
    EXPECT_NE(seen.context, nullptr);
    EXPECT_NE(seen.cells, nullptr);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.error, "Attempt to dispatch off a null object.");

    for (int round = 0; round < 2; ++round) {  // removing twice is quiet
        cells = Cells(1);
        cells[0].object = name.get();
        ASSERT_EQ(Call("void UnregisterClass( dm_string )", cells), DM_CALL_OK);
    }
    EXPECT_TRUE(fHost.RegisteredClasses().empty());
}

}  // namespace
}  // namespace dmhost_test
