// Error pairs and their texts, the error managers, and exceptions handed to the host.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "plugin/DMPlugInException.h"
#include "plugin/ErrorManager.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostFunctions.h"
#include "plugin/PlugInErrorManager.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;
using Gatan::std_gatan_exception;

std::string FormatPair(int32_t code, DM_ErrorDetail detail) {
    return std_gatan_exception(code, detail).what();
}

TEST(ErrorPairTest, FormatsOfThePairs) {
    EXPECT_EQ(FormatPair(28810, 14), "An error (28810,14) has occurred.");
    EXPECT_EQ(FormatPair(28803, 0), "An unspecified error has occurred.");
    EXPECT_EQ(FormatPair(-5, -7), "An error (-5,-7) has occurred.");
    const char* text = "Spectrum has no channels.";
    EXPECT_EQ(FormatPair(28802, reinterpret_cast<DM_ErrorDetail>(text)), text);
}

TEST(ErrorPairTest, RaisedTextsAreCutTo255Characters) {
    const std::string longText(300, 'e');
    try {
        Gatan::RaiseErrorText(longText.c_str());
    } catch (const std_gatan_exception& error) {
        EXPECT_EQ(error.GetErrorCodes().code, 28802);
        EXPECT_EQ(std::string(error.what()), longText.substr(0, 255));
    }
    try {
        Gatan::RaiseMessageText("plug-in message");
    } catch (const std_gatan_exception& error) {
        EXPECT_EQ(error.GetErrorCodes().code, 28803);
        EXPECT_STREQ(error.what(), "plug-in message");
    }
}

TEST(ErrorPairTest, AssertionModes) {
    EXPECT_THROW(Gatan::AssertionFailed("Source", 1, "x", 0), std_gatan_exception);
    try {
        Gatan::AssertionFailed("PlugInUtility", 239, "sPlugInLibraryData != NULL", 1);
        ADD_FAILURE() << "no exception";
    } catch (const std_gatan_exception& error) {
        EXPECT_STREQ(error.what(),
                     "File \"PlugInUtility\", Line 239: Assertion \"sPlugInLibraryData != NULL\" "
                     "Failed!");
        EXPECT_EQ(error.GetErrorCodes().code, 28803);
    }
    EXPECT_NO_THROW(Gatan::AssertionFailed("Source", 2, "y", 2));
    EXPECT_NO_THROW(Gatan::AssertionFailed("Source", 3, "z", 7));
}

// Records what ReportError receives.
class RecordingManager : public Gatan::ErrorManager {
  public:
    void ReportError(const std::exception& exception) override { reported = exception.what(); }
    std::string reported;
};

TEST(ErrorPairTest, AssertionModeTwoGoesToTheCurrentManager) {
    RecordingManager manager;
    Gatan::ErrorManager* previous = Gatan::SetErrorManager(&manager);
    Gatan::AssertionFailed("Source", 4, "w", 2);
    Gatan::SetErrorManager(previous);
    EXPECT_EQ(manager.reported, "File \"Source\", Line 4: Assertion \"w\" Failed!");
}

TEST(PlugInLibraryDataTest, InstallsAndRestoresManagerAndAllocationHandler) {
    std::new_handler beforeHandler = std::get_new_handler();
    Gatan::ErrorManager* beforeManager = Gatan::GetErrorManager();
    {
        PlugInLibraryReference first;
        PlugInLibraryReference second;
        EXPECT_NE(dynamic_cast<PlugInErrorManager*>(Gatan::GetErrorManager()), nullptr);
        EXPECT_EQ(std::get_new_handler(), &PlugInOutOfMemory);
        try {
            std::get_new_handler()();
            ADD_FAILURE() << "no exception";
        } catch (const std_gatan_exception& error) {
            EXPECT_EQ(error.GetErrorCodes().code, 28810);
            EXPECT_EQ(error.GetErrorCodes().detail, 14);
            EXPECT_STREQ(error.what(), "An error (28810,14) has occurred.");
        }
    }
    EXPECT_FALSE(HasPlugInLibraryData());
    EXPECT_EQ(std::get_new_handler(), beforeHandler);
    EXPECT_EQ(Gatan::GetErrorManager(), beforeManager);
}

TEST(ErrorCodesTest, StandardExceptionsCarryTheirTextCut) {
    std::runtime_error error(std::string(300, 's'));
    Gatan::ErrorPair pair = GetErrorCodes(error);
    EXPECT_EQ(pair.code, 28802);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pair.detail)), std::string(255, 's'));

    std_gatan_exception gatan(28810, 14);
    EXPECT_EQ(GetErrorCodes(gatan).code, 28810);
    EXPECT_EQ(GetErrorCodes(gatan).detail, 14);
}

TEST_F(FrameTest, StandardExceptionReachesTheHostCutTo255) {
    ReportExceptionToHost(nullptr, std::runtime_error(std::string(300, 'r')));
    EXPECT_EQ(fHost.PendingExceptionCode(), 28802);
    EXPECT_EQ(fHost.PendingExceptionMessage(), std::string(255, 'r'));
    fHost.ClearPendingException();
}

TEST_F(FrameTest, ErrorPairsReachTheHostAsTheHostFormatsThem) {
    HostContext* context = fHost.NewContext();
    ReportExceptionToHost(context, std_gatan_exception(28810, 14));
    EXPECT_EQ(fHost.PendingExceptionMessage(), "An error (28810,14) has occurred.");
    ReportUnknownExceptionToHost(context);
    EXPECT_EQ(fHost.PendingExceptionCode(), 28803);
    EXPECT_EQ(fHost.PendingExceptionMessage(), "An unspecified error has occurred.");
    context->table->Release(context);
    fHost.ClearPendingException();
}

TEST_F(FrameTest, HostThrowablePassedBackIsTheSameObject) {
    dmhost::ImageSpec spec;
    spec.values = {1.0};
    dmhost::ObjectRef image = fHost.MakeImage(spec);
    fHost.FailNextCall("ImageClone", 28802, "Clone refused.");
    try {
        ImageClone(Image::FromBorrowed(image.get()));
        ADD_FAILURE() << "no exception";
    } catch (const std::exception& error) {
        DM_Object raised = dynamic_cast<const dmplugin_exception&>(error).GetThrowable().get();
        ReportExceptionToHost(nullptr, error);
        EXPECT_EQ(fHost.PendingException(), raised);
        EXPECT_EQ(fHost.PendingExceptionMessage(), "Clone refused.");
    }
    fHost.ClearPendingException();
}

TEST_F(FrameTest, RaisePendingHostExceptionReturnsWhenNothingIsPending) {
    HostContext* context = fHost.NewContext();
    EXPECT_NO_THROW(RaisePendingHostException(context));
    ReportUnknownExceptionToHost(context);
    EXPECT_THROW(RaisePendingHostException(context), dmplugin_exception);
    EXPECT_FALSE(fHost.HasPendingException());
    context->table->Release(context);
}

TEST_F(FrameTest, DisplayErrorShowsTheHostsTextAsAnAlert) {
    PlugInErrorManager manager;
    manager.DisplayError(28810, 14, 3);
    ASSERT_EQ(fHost.Alerts().size(), 1u);
    EXPECT_EQ(fHost.Alerts()[0].text, "An error (28810,14) has occurred.");
    EXPECT_EQ(fHost.Alerts()[0].kind, 3);
}

TEST_F(FrameTest, CurrentExceptionIsReportedWhateverItIs) {
    try {
        throw 42;
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    EXPECT_EQ(fHost.PendingExceptionMessage(), "An unspecified error has occurred.");
    try {
        throw std::logic_error("logic");
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
    EXPECT_EQ(fHost.PendingExceptionMessage(), "logic");
    fHost.ClearPendingException();
}

}  // namespace
