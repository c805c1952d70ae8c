// The memory-buffer class: its name, and its methods called as a script would call them.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "plugin/ArgumentCells.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/MemoryBufferClass.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;

// Registers the class the way start-up does, and removes it at the end.
class MemoryBufferClassTest : public FrameTest {
  protected:
    void SetUp() override {
        fName = MemoryBufferClass::FormatName(this);
        MemoryBufferClass::ResetClassIndices();
        RegisterClass(MakeString(fName), MakeString(""), MemoryBufferClass::CreateObject,
                      MemoryBufferClass::DestroyObject, 0);
        AddMethod(MemoryBufferClass::kLockMemorySignature, MemoryBufferClass::LockMemoryEntry);
        AddMethod(MemoryBufferClass::kUnlockMemorySignature, MemoryBufferClass::UnlockMemoryEntry);
    }

    void TearDown() override {
        UnregisterClass(MakeString(fName));
        FrameTest::TearDown();
    }

    void AddMethod(const char* signature, DM_CellsEntryPoint entry) {
        Function method = NewCallbackFunction(MakeString(signature), entry, 4);
        ClassAddMethod(MakeString(fName), method);
    }

    std::string fName;
};

TEST_F(MemoryBufferClassTest, NameIsTheMainObjectAddressAndTheSuffix) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%p_pluginmemorybuffer", static_cast<void*>(this));
    EXPECT_EQ(fName, expected);
    EXPECT_EQ(std::string(MemoryBufferClass::Name()), fName);
    EXPECT_EQ(fHost.RegisteredClasses(), std::vector<std::string>{fName});
    EXPECT_EQ(fHost.ClassMethods(fName),
              (std::vector<std::string>{MemoryBufferClass::kLockMemorySignature,
                                        MemoryBufferClass::kUnlockMemorySignature}));
}

TEST_F(MemoryBufferClassTest, MethodsDispatchOffANullObject) {
    uint32_t size = 99;
    void* lockData = &size;
    std::vector<ArgumentCell> cells(4, ArgumentCell{});
    PutCell(cells[2], &size);
    PutCell(cells[3], &lockData);
    dmhost::ScriptResult locked = fHost.CallClassMethod(fName, "LockMemory", cells);
    EXPECT_TRUE(locked.failed);
    EXPECT_EQ(locked.error, "Attempt to dispatch off a null object.");
    EXPECT_EQ(size, 99u) << "nothing written back";
    EXPECT_EQ(fHost.CallCount("ScriptObjectGetClassTokenByIndex"), 1);
    EXPECT_EQ(fHost.CallCount("ScriptObjectGetClassIndex"), 1);

    dmhost::ScriptResult unlocked =
        fHost.CallClassMethod(fName, "UnlockMemory", std::vector<ArgumentCell>(2, ArgumentCell{}));
    EXPECT_TRUE(unlocked.failed);
    EXPECT_EQ(unlocked.error, "Attempt to dispatch off a null object.");
}

// An object as the host would hand it to the destruction entry point.
class Probe : public PlugInMemoryBuffer {
  public:
    explicit Probe(bool& destroyed) : fDestroyed(destroyed) {}
    ~Probe() override { fDestroyed = true; }
    void* LockMemory(uint32_t*, void**) override { return nullptr; }
    void UnlockMemory(void*) override {}

  private:
    bool& fDestroyed;
};

TEST(MemoryBufferObjectTest, CreationMakesNoObjectAndDestructionReleasesOne) {
    EXPECT_EQ(MemoryBufferClass::CreateObject(), nullptr);
    MemoryBufferClass::DestroyObject(nullptr);
    bool destroyed = false;
    auto probe = std::make_unique<Probe>(destroyed);
    MemoryBufferClass::DestroyObject(static_cast<PlugInMemoryBuffer*>(probe.release()));
    EXPECT_TRUE(destroyed);
}

}  // namespace
