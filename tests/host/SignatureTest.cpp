#include <gtest/gtest.h>

#include <stdexcept>

#include "HostTestSupport.h"
#include "host/Signature.h"

namespace dmhost_test {
namespace {

using dmhost::ParseSignature;
using dmhost::TypeWord;

// Every host function the module calls, with its signature text exactly as it is looked up.
const char* const kHostFunctions[] = {
    "Function ClassAddMethod( dm_string, Function )",
    "RealImagePtr CreateReal1DImage( string, long, long )",
    "ImageRef ImageClone( ImageRef )",
    "void ImageDataChanged( ImageRef )",
    "uint32 ImageGetDataType( ImageRef )",
    "void ImageGetDimensionCalibration( ImageRef, long, float *, float *, dm_string *, long )",
    "uint32 ImageGetDimensionSize( ImageRef, uint32 )",
    "dm_string ImageGetIntensityUnitString( ImageRef )",
    "dm_string ImageGetName( ImageRef )",
    "TagGroup ImageGetTagGroup( ImageRef )",
    "Boolean ImageIsValid( ImageRef )",
    "void ImageSetDimensionCalibration( ImageRef, long, float, float, dm_string, long )",
    "void ImageSetIntensityUnitString( ImageRef, dm_string )",
    "Function NewCallbackFunction( dm_string, void *, uint32 )",
    "TagGroup NewTagGroup(  )",
    "TagGroup NewTagList(  )",
    "dm_string PathExtractBaseName( dm_string, ulong )",
    "long RegisterCustomMenu( long )",
    "long RegisterCustomTool( string, long )",
    "void Result( dm_string )",
    "void ShowAlert( string, long )",
    "void TagGroupCopyTagsFrom( TagGroup, TagGroup )",
    "TagGroup TagGroupGetOrCreateTagList( TagGroup, string )",
    "Boolean TagGroupGetTagAsDouble( TagGroup, string, double * )",
    "Boolean TagGroupGetTagAsTagGroup( TagGroup, string, TagGroup * )",
    "void TagGroupInsertTagAsTagGroup( TagGroup, long, TagGroup )",
    "void TagGroupSetTagAsDouble( TagGroup, string, double )",
    "void TagGroupSetTagAsLong( TagGroup, string, long )",
    "void TagGroupSetTagAsString( TagGroup, string, dm_string )",
    "void TagGroupSetTagAsTagGroup( TagGroup, string, TagGroup )",
    "void UnregisterCustomMenu( long )",
    "void UnregisterCustomTool( long )",
    "void ImageChangeDataType( BasicImage, uint32 )",
    "void *ImageLockData( Image *im, uint32 lock_flags )",
    "void *ImageGetLockedData( Image *im, void *locked_data, uint32 des_num_dim, uint32 "
    "*act_num_dim, uint32 *data_type, uint32 *pack_style, long *dimension_info... )",
    "void ImageUnlockData( Image *im, void *locked_data, uint32 unlock_flags )",
    "bool ScriptObjectGetClassIndex( ScriptObject, dm_string, bool, ulong *, ulong * )",
    "bool ScriptObjectGetClassTokenByIndex( ScriptObject, ulong, ulong, bool, ulong * )",
    "ScriptClass RegisterClass( dm_string, dm_string, void *, void *, long )",
    "void UnregisterClass( dm_string )",
};

using LookUpTest = HostTest;

TEST_F(LookUpTest, EveryHostFunctionIsFoundByItsExactTextAndNothingElse) {
    HostInterface* hi = Interface();
    for (const char* signature : kHostFunctions) {
        DM_Object function = hi->table->LookUpFunction(hi, 0, signature);
        EXPECT_NE(function, nullptr) << signature;
        ReleaseFunction(function);
    }
    // A signature is matched as text: other spacing or an unknown name finds nothing.
    EXPECT_EQ(hi->table->LookUpFunction(hi, 0, "TagGroup NewTagGroup( )"), nullptr);
    EXPECT_EQ(hi->table->LookUpFunction(hi, 0, "void Result(dm_string)"), nullptr);
    EXPECT_EQ(hi->table->LookUpFunction(hi, 0, "void NoSuchFunction( long )"), nullptr);
    EXPECT_EQ(hi->table->LookUpFunction(hi, 0, nullptr), nullptr);
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

TEST(SignatureTest, ModuleSignaturesHaveTheShapesTheHostCalls) {
    EXPECT_EQ(ParseSignature("dm_string Zor_XrayUtilsVersion(void)").ShapeKey(), "H:");
    EXPECT_EQ(ParseSignature("ImageRef Zor_EMSAtoDM(dm_string)").ShapeKey(), "H:H");
    EXPECT_EQ(ParseSignature("dm_string Zor_NiOx(ImageRef, bool, bool, bool, bool, bool, bool, "
                             "bool, double, ImageRef *)")
                  .ShapeKey(),
              "H:HBBBBBBBDO");
    EXPECT_EQ(ParseSignature("dm_string Zor_NiOxIceC(ImageRef, ImageRef)").ShapeKey(), "H:HH");
    EXPECT_EQ(ParseSignature("void Zor_SpectrumFilter(ImageRef, ulong, ImageRef *)").ShapeKey(),
              "V:HUO");
    EXPECT_EQ(ParseSignature("void XUtilsShellExec(dm_string)").ShapeKey(), "V:H");
}

TEST(SignatureTest, TypeWordsAndNamesAreReadAsCellsCarryThem) {
    const auto locked = ParseSignature(kHostFunctions[34]);
    EXPECT_EQ(locked.name, "ImageGetLockedData");
    EXPECT_EQ(locked.result.word, TypeWord::kPointer);
    ASSERT_EQ(locked.params.size(), 7u);
    EXPECT_EQ(locked.params[0].word, TypeWord::kHandle) << "Image * is the image itself";
    EXPECT_FALSE(locked.params[0].output);
    EXPECT_EQ(locked.params[1].word, TypeWord::kPointer);
    EXPECT_TRUE(locked.params[3].output);
    EXPECT_EQ(locked.params[3].word, TypeWord::kUInt32);
    EXPECT_TRUE(locked.params[6].output);
    EXPECT_EQ(locked.params[6].word, TypeWord::kInt32);
    EXPECT_TRUE(locked.variadic);

    const auto method = ParseSignature(
        "threadsafe void *LockMemory( ScriptObject buffer, uint32 *size, void "
        "**lock_data )");
    EXPECT_EQ(method.name, "LockMemory");
    EXPECT_EQ(method.CellCount(), 4);
    EXPECT_TRUE(method.params[2].output);

    const auto none = ParseSignature("TagGroup NewTagGroup(  )");
    EXPECT_TRUE(none.params.empty());
    EXPECT_EQ(none.CellCount(), 1);
    EXPECT_EQ(ParseSignature("Boolean ImageIsValid( ImageRef )").result.word, TypeWord::kBool);
}

TEST(SignatureTest, MalformedSignaturesAreRefused) {
    EXPECT_THROW(ParseSignature("no parentheses"), std::invalid_argument);
    EXPECT_THROW(ParseSignature("void f( long"), std::invalid_argument);
    EXPECT_THROW(ParseSignature("f( long )"), std::invalid_argument) << "no result type";
    EXPECT_THROW(ParseSignature("void f( quaternion )"), std::invalid_argument);
    EXPECT_THROW(ParseSignature("void f( long..., long )"), std::invalid_argument);
    EXPECT_THROW(ParseSignature("void f( long *** )"), std::invalid_argument);
}

}  // namespace
}  // namespace dmhost_test
