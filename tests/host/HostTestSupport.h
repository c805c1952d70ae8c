// Helpers for driving the stand-in host through its raw interface tables, as the module
// does: look a function up by signature, call it with cells, read the pending exception.
#ifndef XRAY_TESTS_HOST_HOSTTESTSUPPORT_H
#define XRAY_TESTS_HOST_HOSTTESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/StandInHost.h"

namespace dmhost_test {

// A fresh, zeroed array of cells.
inline std::vector<ArgumentCell> Cells(size_t count) {
    std::vector<ArgumentCell> cells(count);
    std::memset(cells.data(), 0, count * sizeof(ArgumentCell));
    return cells;
}

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override { fBaseline = fHost.Audit(); }

    // Every test ends with the host's books balanced against what the test itself holds.
    void TearDown() override { EXPECT_TRUE(fHost.AuditErrors().empty()) << Errors(); }

    std::string Errors() const {
        std::string all;
        for (const std::string& error : fHost.AuditErrors())
            all += error + "\n";
        return all;
    }

    HostInterface* Interface() { return fHost.Interface(); }

    // Looks the signature up and calls it once; returns the status. The function handle
    // is released again.
    int32_t Call(const char* signature, std::vector<ArgumentCell>& cells) {
        HostInterface* hi = Interface();
        DM_Object function = hi->table->LookUpFunction(hi, 0, signature);
        EXPECT_NE(function, nullptr) << signature;
        const int32_t status = CallHandle(function, cells);
        ReleaseFunction(function);
        return status;
    }

    int32_t CallHandle(DM_Object function, std::vector<ArgumentCell>& cells) {
        HostInterface* hi = Interface();
        HostContext* context = hi->table->GetContext(hi);
        const int32_t status = context->table->CallFunction(
            context, function, static_cast<int32_t>(cells.size()), cells.data());
        context->table->Release(context);
        return status;
    }

    void ReleaseFunction(DM_Object function) {
        if (function == nullptr)
            return;
        ClassInterface* functions = fHost.NewClassInterface("Gatan:DigitalMicrograph:Function");
        functions->table->ReleaseObject(functions, function);
        functions->table->ReleaseClass(functions);
    }

    // Takes over a handle result (one reference) so the test releases it at its end.
    dmhost::ObjectRef Own(DM_Object object) { return dmhost::ObjectRef(fHost, object); }

    dmhost::ObjectRef Image1D(std::vector<double> values, uint32_t type = dmhost::kReal8Data) {
        dmhost::ImageSpec spec;
        spec.name = "test";
        spec.dataType = type;
        spec.values = std::move(values);
        return fHost.MakeImage(spec);
    }

    dmhost::StandInHost fHost;
    dmhost::AuditSnapshot fBaseline;
};

}  // namespace dmhost_test

#endif  // XRAY_TESTS_HOST_HOSTTESTSUPPORT_H
