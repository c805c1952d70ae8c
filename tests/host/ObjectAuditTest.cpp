// Reference counting, the audit, interface objects, strings and throwables.
#include <gtest/gtest.h>

#include <cstring>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

using dmhost::ObjectClass;
using ObjectAuditTest = HostTest;

class ClassInterfaceHolder {
  public:
    ClassInterfaceHolder(dmhost::StandInHost& host, const char* name)
        : fInterface(host.NewClassInterface(name)) {}
    ~ClassInterfaceHolder() {
        if (fInterface != nullptr)
            fInterface->table->ReleaseClass(fInterface);
    }
    ClassInterface* operator->() const { return fInterface; }
    ClassInterface* get() const { return fInterface; }

  private:
    ClassInterface* fInterface;
};

TEST_F(ObjectAuditTest, ReferencesTakenAndGivenBackThroughTheClassInterface) {
    ClassInterfaceHolder images(fHost, "Gatan:DigitalMicrograph:Image");
    auto image = Image1D({1, 2});
    DM_Object raw = image.get();
    images->table->AddObjectReference(images.get(), raw);
    images->table->AddObjectReference(images.get(), raw);
    EXPECT_EQ(fHost.ReferenceCount(raw), 3);
    EXPECT_EQ(fHost.Audit().References(ObjectClass::kImage), 3);
    images->table->ReleaseObject(images.get(), raw);
    images->table->ReleaseObject(images.get(), raw);
    EXPECT_EQ(fHost.ReferenceCount(raw), 1);

    image.release();
    images->table->ReleaseObject(images.get(), raw);
    EXPECT_FALSE(fHost.IsLive(raw)) << "the last reference destroys the image";
    EXPECT_EQ(fHost.Audit().Objects(ObjectClass::kTagGroup), 0) << "and its tag group";

    images->table->ReleaseObject(images.get(), raw);
    ASSERT_EQ(fHost.AuditErrors().size(), 1u) << "a release after the end is noticed";
    fHost.ClearAuditErrors();
}

TEST_F(ObjectAuditTest, ObjectsPassedThroughAnotherClassInterfaceAreRefused) {
    ClassInterfaceHolder strings(fHost, "Gatan:DigitalMicrograph:String");
    ClassInterfaceHolder displays(fHost, "Gatan:DigitalMicrograph:ImageDisplay");
    ASSERT_NE(displays.get(), nullptr) << "every class the module fetches exists";
    auto image = Image1D({1});
    strings->table->AddObjectReference(strings.get(), image.get());
    displays->table->ReleaseObject(displays.get(), image.get());
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1) << "neither call touched the count";
    EXPECT_EQ(fHost.AuditErrors().size(), 2u);
    fHost.ClearAuditErrors();
}

TEST_F(ObjectAuditTest, IsValidAndIsSameObject) {
    ClassInterfaceHolder images(fHost, "Gatan:DigitalMicrograph:Image");
    auto first = Image1D({1});
    auto second = Image1D({1});
    EXPECT_EQ(images->table->IsValid(images.get(), first.get()), 1);
    EXPECT_EQ(images->table->IsValid(images.get(), nullptr), 0);
    fHost.InvalidateImage(first.get());
    EXPECT_EQ(images->table->IsValid(images.get(), first.get()), 0);
    EXPECT_EQ(images->table->IsSameObject(images.get(), first.get(), first.get()), 1);
    EXPECT_EQ(images->table->IsSameObject(images.get(), first.get(), second.get()), 0);
    EXPECT_EQ(images->table->IsSameObject(images.get(), nullptr, nullptr), 1);
    EXPECT_EQ(images->table->IsSameObject(images.get(), first.get(), nullptr), 0);
}

TEST_F(ObjectAuditTest, InterfaceAndClassInterfaceReferencesAreCounted) {
    HostInterface* hi = Interface();
    hi->table->AddReference(hi);
    hi->table->AddReference(hi);
    hi->table->Release(hi);
    EXPECT_EQ(fHost.Audit().interfaceReferences, 1);
    hi->table->Release(hi);
    EXPECT_EQ(fHost.Audit(), fBaseline);
    hi->table->Release(hi);
    EXPECT_EQ(fHost.AuditErrors().size(), 1u) << "a release beyond the references";
    fHost.ClearAuditErrors();

    ClassInterface* tags = hi->table->GetClass(hi, 0, "Gatan:DigitalMicrograph:TagGroup");
    ASSERT_NE(tags, nullptr);
    EXPECT_EQ(fHost.Audit().classInterfaceReferences, 1);
    EXPECT_EQ(hi->table->GetClass(hi, 0, "Gatan:DigitalMicrograph:Nothing"), nullptr);
    tags->table->ReleaseClass(tags);
    EXPECT_EQ(fHost.Audit(), fBaseline);
    EXPECT_EQ(hi->table->GetVersion(hi), dmhost::kDefaultHostVersion);
}

TEST_F(ObjectAuditTest, ContextsAreCountedAndAReleasedOneIsNotUsed) {
    HostInterface* hi = Interface();
    HostContext* context = hi->table->GetContext(hi);
    EXPECT_EQ(fHost.Audit().openContexts, 1);
    context->table->Release(context);
    EXPECT_EQ(fHost.Audit(), fBaseline);

    EXPECT_EQ(context->table->NewString(context, 0, "x", 1), nullptr);
    context->table->Release(context);
    EXPECT_EQ(fHost.AuditErrors().size(), 2u) << "use after release and a double release";
    EXPECT_EQ(fHost.Audit(), fBaseline);
    fHost.ClearAuditErrors();
}

TEST_F(ObjectAuditTest, StringsKeepTheirCountedCharactersAndLocksAreBalanced) {
    HostContext* context = fHost.NewContext();
    const char chars[] = {'a', 'b', '\0', 'c', 'X'};
    auto text = Own(context->table->NewString(context, 0, chars, 4));
    EXPECT_EQ(fHost.ReadText(text.get()), std::string("ab\0c", 4)) << "count, not terminator";

    uint32_t length = 0, token = 0;
    const char* locked = context->table->LockString(context, text.get(), 0, &length, &token);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(std::string(locked, length), std::string("ab\0c", 4));
    EXPECT_EQ(fHost.Audit().stringLocks, 1);
    context->table->UnlockString(context, text.get(), token + 1);
    EXPECT_EQ(fHost.AuditErrors().size(), 1u) << "a token that is not the string's";
    context->table->UnlockString(context, text.get(), token);
    EXPECT_EQ(fHost.Audit().stringLocks, 0);

    auto empty = Own(context->table->NewString(context, 0, nullptr, 0));
    EXPECT_EQ(fHost.ReadText(empty.get()), "");
    EXPECT_EQ(context->table->LockString(context, nullptr, 0, &length, &token), nullptr);
    context->table->Release(context);
    fHost.ClearAuditErrors();
}

TEST_F(ObjectAuditTest, ThrowableMessagesFollowTheErrorPair) {
    HostContext* context = fHost.NewContext();
    char text[] = "Too many dimensions.";
    auto withText = Own(context->table->MakeThrowable(context, DM_ERROR_MESSAGE,
                                                      reinterpret_cast<DM_ErrorDetail>(text)));
    std::strcpy(text, "changed afterwards");
    EXPECT_EQ(fHost.ThrowableMessage(withText.get()), "Too many dimensions.")
        << "the text is copied when the throwable is made";

    auto unspecified = Own(context->table->MakeThrowable(context, DM_ERROR_PLUGIN_MESSAGE, 0));
    EXPECT_EQ(fHost.ThrowableMessage(unspecified.get()), "An unspecified error has occurred.");
    auto memory = Own(context->table->MakeThrowable(context, DM_ERROR_OUT_OF_MEMORY, 14));
    EXPECT_EQ(fHost.ThrowableMessage(memory.get()), "An error (28810,14) has occurred.");
    auto negative = Own(context->table->MakeThrowable(context, -5, -7));
    EXPECT_EQ(fHost.ThrowableMessage(negative.get()), "An error (-5,-7) has occurred.");

    auto message = Own(context->table->GetThrowableMessage(context, memory.get()));
    EXPECT_EQ(fHost.ReadText(message.get()), "An error (28810,14) has occurred.");
    EXPECT_EQ(fHost.ReferenceCount(message.get()), 1);
    context->table->Release(context);
}

TEST_F(ObjectAuditTest, AnImageKeepsItsTagGroupAndTheGroupOutlivesAReleasedImage) {
    auto image = Image1D({1});
    auto cells = Cells(2);
    cells[1].object = image.get();
    ASSERT_EQ(Call("TagGroup ImageGetTagGroup( ImageRef )", cells), DM_CALL_OK);
    auto tags = Own(cells[0].object);
    image.reset();
    EXPECT_TRUE(fHost.IsLive(tags.get())) << "the caller's reference keeps the group";
    EXPECT_EQ(fHost.Audit().Objects(ObjectClass::kImage), 0);
    tags.reset();
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

}  // namespace
}  // namespace dmhost_test
