// PlotSession: formats and sizes, texts made fit for PLplot, and PLplot's own errors coming
// back as PlotError, with nothing left open or written, so the next picture still works.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <plplot.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "cli/PlotSession.h"
#include "cli/PlotStyle.h"
#include "tests/pictures/PictureFiles.h"

extern "C" void plexit(const char* message);  // PLplot's own, exported but not declared

namespace xrayutils {
namespace {

using ::testing::HasSubstr;
using testsupport::ReadBinaryFile;

std::string ScratchFolder() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("plot-session-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

size_t FilesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

// A small complete picture: a framed panel with a line.
void DrawSmallPicture(const std::string& path, PictureFormat format, PictureSize size) {
    PlotSession session(path, format, size);
    SetPanel(session, PlotArea{0.1, 0.9, 0.1, 0.9}, 0, 10, 0, 5);
    DrawAxes(session, AxisOptions{});
    DrawLine(session, {0, 5, 10}, {1, 4, 2}, kDataColour);
    session.Finish();
}

TEST(PictureOptionsTest, FormatFollowsTheExtension) {
    EXPECT_EQ(PictureFormatOf("a/b/plot.svg"), PictureFormat::kSvg);
    EXPECT_EQ(PictureFormatOf("plot.PNG"), PictureFormat::kPng);
    EXPECT_EQ(PictureFormatOf("x.y.Pdf"), PictureFormat::kPdf);
    EXPECT_EQ(PictureFormatOf("plot.jpg"), std::nullopt);
    EXPECT_EQ(PictureFormatOf("svg"), std::nullopt);
    EXPECT_EQ(PictureFormatOf("plot.svg/"), std::nullopt);
}

TEST(PictureOptionsTest, SizeIsWidthByHeightWithinLimits) {
    const PictureSize size = ParsePictureSize("640x480");
    EXPECT_EQ(size.width, 640);
    EXPECT_EQ(size.height, 480);
    EXPECT_EQ(ParsePictureSize("200X10000").height, 10000);
    for (const char* bad : {"640", "640x", "x480", "640x480x2", "-640x480", "640 x 480", "199x480",
                            "640x10001", "6.5x480", "99999999x480"})
        EXPECT_THROW(ParsePictureSize(bad), std::invalid_argument) << bad;
}

TEST(PlotTextTest, EscapesPLplotsEscapeAndMendsBytes) {
    EXPECT_EQ(PlotText("Ni #2 <b>"), "Ni ##2 <b>");
    EXPECT_EQ(PlotText("K\xCE\xB1"), "K\xCE\xB1") << "UTF-8 stays";
    EXPECT_EQ(PlotText("caf\xE9"), "caf\xC3\xA9") << "a Latin-1 byte becomes its character";
    EXPECT_EQ(PlotText("a\tb\nc\x7F"), "abc") << "control characters go";
    EXPECT_EQ(CleanText("\xC0\xAF"), "\xC3\x80\xC2\xAF") << "an overlong form is not UTF-8";
    EXPECT_EQ(CleanText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0") << "nor is a surrogate";
    EXPECT_EQ(CleanText("\xE2\x82"), "\xC3\xA2") << "a cut sequence loses its C1 byte";
}

TEST(PlotSessionTest, EachFormatHasItsSignatureAndTheRequestedSize) {
    const std::string folder = ScratchFolder();
    DrawSmallPicture(folder + "/a.png", PictureFormat::kPng, PictureSize{640, 480});
    DrawSmallPicture(folder + "/a.pdf", PictureFormat::kPdf, PictureSize{595, 842});
    DrawSmallPicture(folder + "/a.svg", PictureFormat::kSvg, PictureSize{300, 200});
    const auto png = testsupport::PngDimensions(ReadBinaryFile(folder + "/a.png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 640);
    EXPECT_EQ(png->height, 480);
    const auto pdf = testsupport::PdfMediaBox(ReadBinaryFile(folder + "/a.pdf"));
    ASSERT_TRUE(pdf.has_value());
    EXPECT_EQ(pdf->width, 595);
    EXPECT_EQ(pdf->height, 842);
    const std::string svg = ReadBinaryFile(folder + "/a.svg");
    const testsupport::SvgContent content = testsupport::ReadSvg(svg);
    EXPECT_TRUE(content.wellFormed) << content.error;
    EXPECT_THAT(svg, HasSubstr("viewBox=\"0 0 300 200\""));
    EXPECT_EQ(FilesIn(folder), 3u) << "no scratch file stays behind";
}

// An empty range given to plenv is refused by PLplot itself: the refusal comes back as
// PlotError with PLplot's message, the picture is not written, and the next picture of the
// same process is drawn as usual.
TEST(PlotSessionTest, PLplotRefusalIsAnErrorAndLeavesNothingOpen) {
    const std::string folder = ScratchFolder();
    try {
        PlotSession session(folder + "/empty.png", PictureFormat::kPng, PictureSize{400, 300});
        plenv(3, 3, 0, 1, 0, 0);
        session.Check();
        FAIL() << "an empty range was accepted";
    } catch (const PlotError& e) {
        EXPECT_THAT(e.what(), HasSubstr("plenv: Invalid xmin and xmax arguments"));
    }
    EXPECT_EQ(FilesIn(folder), 0u);
    DrawSmallPicture(folder + "/next.png", PictureFormat::kPng, PictureSize{400, 300});
    const auto png = testsupport::PngDimensions(ReadBinaryFile(folder + "/next.png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 400);
}

// PLplot's fatal errors would end the process; here they throw, and PLplot works after.
TEST(PlotSessionTest, PLplotExitIsAnErrorNotAnExit) {
    const std::string folder = ScratchFolder();
    try {
        PlotSession session(folder + "/fatal.svg", PictureFormat::kSvg, PictureSize{400, 300});
        plexit("simulated internal failure");
        FAIL() << "plexit returned";
    } catch (const PlotError& e) {
        EXPECT_THAT(e.what(), HasSubstr("simulated internal failure"));
    }
    EXPECT_EQ(FilesIn(folder), 0u);
    DrawSmallPicture(folder + "/after.svg", PictureFormat::kSvg, PictureSize{400, 300});
    EXPECT_TRUE(testsupport::ReadSvg(ReadBinaryFile(folder + "/after.svg")).wellFormed);
}

// PLplot would widen an empty range by itself and draw on; the panel refuses it first.
TEST(PlotSessionTest, EmptyPanelRangeIsRefused) {
    const std::string folder = ScratchFolder();
    PlotSession session(folder + "/panel.svg", PictureFormat::kSvg, PictureSize{});
    const PlotArea area{0.1, 0.9, 0.1, 0.9};
    EXPECT_THROW(SetPanel(session, area, 2, 2, 0, 1), PlotError);
    EXPECT_THROW(SetPanel(session, area, 0, 1, 5, 5), PlotError);
    EXPECT_THROW(SetPanel(session, area, 0, NAN, 0, 1), PlotError);
    EXPECT_NO_THROW(SetPanel(session, area, 1, 0, 0, 1)) << "a reversed axis is a range";
}

TEST(PlotSessionTest, UnwritableFolderAndSecondSessionAreRefused) {
    const std::string folder = ScratchFolder();
    EXPECT_THROW(PlotSession(folder + "/no/such/folder/a.svg", PictureFormat::kSvg, PictureSize{}),
                 PlotError);
    PlotSession first(folder + "/first.svg", PictureFormat::kSvg, PictureSize{});
    EXPECT_THROW(PlotSession(folder + "/second.svg", PictureFormat::kSvg, PictureSize{}),
                 std::logic_error);
    first.Finish();
    EXPECT_TRUE(std::filesystem::exists(folder + "/first.svg"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/second.svg"));
}

// A failed picture never half-overwrites an older one at its path.
TEST(PlotSessionTest, FailedPictureKeepsTheOldFile) {
    const std::string folder = ScratchFolder();
    DrawSmallPicture(folder + "/kept.svg", PictureFormat::kSvg, PictureSize{400, 300});
    const std::string before = ReadBinaryFile(folder + "/kept.svg");
    EXPECT_THROW(
        {
            PlotSession session(folder + "/kept.svg", PictureFormat::kSvg, PictureSize{500, 300});
            SetPanel(session, PlotArea{0.1, 0.9, 0.1, 0.9}, 0, 1, 2, 2);
        },
        PlotError);
    EXPECT_EQ(ReadBinaryFile(folder + "/kept.svg"), before);
    EXPECT_EQ(FilesIn(folder), 1u);
}

}  // namespace
}  // namespace xrayutils
