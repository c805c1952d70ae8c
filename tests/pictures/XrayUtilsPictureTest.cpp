// plot and report of the built xrayutils program, run as a user runs them: formats and sizes,
// the command line's refusals, failures with their messages and exit statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/pictures/PictureFiles.h"
#include "tests/support/ProgramRun.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testsupport::ProgramRun;
using testsupport::ReadBinaryFile;

const std::string kSample = std::string(EXAMPLES_DIR) + "/NiOx-sample.msa";
const std::string kIceCarbon = std::string(EXAMPLES_DIR) + "/NiOx-sample-ice-carbon.msa";

ProgramRun RunXrayUtils(const std::string& arguments) {
    return testsupport::RunProgramInTest(XRAYUTILS_PATH, arguments);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A spectrum file with the given title, step (keV) and counts from `count(i)`.
template <typename Count>
std::string WriteSpectrum(const std::string& suffix, const std::string& title, double step,
                          Count count) {
    const std::string path = testsupport::TestFile(suffix);
    std::ofstream file(path, std::ios::binary);
    file << "#FORMAT      : EMSA/MAS Spectral Data File\n#VERSION     : 1.0\n#TITLE       : "
         << title << "\n#NPOINTS     : 1000\n#NCOLUMNS    : 1\n#XPERCHAN    : " << step
         << "\n#OFFSET      : 0.0\n#SIGNALTYPE  : EDS\n#SPECTRUM    : Spectral Data Starts Here\n";
    for (int i = 0; i < 1000; ++i)
        file << count(i) << "\n";
    file << "#ENDOFDATA   : \n";
    return path;
}

// Bremsstrahlung alone: no Ni Ka line to fit.
std::string WriteBackgroundSpectrum(const std::string& title) {
    return WriteSpectrum("-background.msa", title, 0.01,
                         [](int i) { return i == 0 ? 0 : static_cast<int>(20000.0 / i); });
}

TEST(XrayUtilsPlotTest, EachFormatAtTheRequestedSize) {
    const std::string base = testsupport::TestFile("-plot");
    for (const char* extension : {".png", ".pdf", ".svg"}) {
        const ProgramRun run = RunXrayUtils("plot " + Quoted(kSample) + " -o " +
                                            Quoted(base + extension) + " --size 640x480");
        ASSERT_EQ(run.status, 0) << extension << ": " << run.err;
        EXPECT_THAT(run.out, HasSubstr("Wrote " + base + extension));
    }
    const auto png = testsupport::PngDimensions(ReadBinaryFile(base + ".png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 640);
    EXPECT_EQ(png->height, 480);
    const auto pdf = testsupport::PdfMediaBox(ReadBinaryFile(base + ".pdf"));
    ASSERT_TRUE(pdf.has_value());
    EXPECT_EQ(pdf->width, 640);
    EXPECT_EQ(pdf->height, 480);
    const testsupport::SvgContent svg = testsupport::ReadSvg(ReadBinaryFile(base + ".svg"));
    EXPECT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_THAT(svg.text, HasSubstr("NiOx-sample"));
    EXPECT_THAT(svg.text, HasSubstr("eV at Mn K\xCE\xB1"));
    // The default size.
    const ProgramRun run =
        RunXrayUtils("plot " + Quoted(kSample) + " -o " + Quoted(base + "-default.png"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testsupport::PngDimensions(ReadBinaryFile(base + "-default.png"))->height, 800);
}

TEST(XrayUtilsPlotTest, CommandLineRefusals) {
    const std::string out = testsupport::TestFile("-refused");
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {" -o refused.jpg", "must end in .svg, .png or .pdf"},
        {" -o refused.png --size 640", "WIDTHxHEIGHT"},
        {" -o refused.png --size 100x100", "each side of the size must be 200 to 10000"},
        {"", "-o"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunXrayUtils("plot " + Quoted(kSample) + c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << c.arguments;
    }
    EXPECT_FALSE(std::filesystem::exists("refused.png"));
}

// The fit fails: the picture is still written, with the message in it, and the command fails.
TEST(XrayUtilsPlotTest, FailedFitStillDrawsTheSpectrum) {
    const std::string svg = testsupport::TestFile("-nofit.svg");
    const ProgramRun run = RunXrayUtils("plot " + Quoted(WriteBackgroundSpectrum("background")) +
                                        " -o " + Quoted(svg));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("The Ni Ka line could not be measured"));
    const testsupport::SvgContent content = testsupport::ReadSvg(ReadBinaryFile(svg));
    ASSERT_TRUE(content.wellFormed) << content.error;
    EXPECT_THAT(content.text, HasSubstr("No Ni K\xCE\xB1 fit"));
    EXPECT_THAT(content.text, HasSubstr("The Ni Ka line could not be measured"));
}

// A spectrum whose channels all lie at one energy gives an empty range, which PLplot would
// widen on its own with a warning: it is the program's ordinary failure instead.
TEST(XrayUtilsPlotTest, EmptyRangeIsAnOrdinaryFailure) {
    const std::string png = testsupport::TestFile("-empty-range.png");
    std::filesystem::remove(png);
    const std::string file =
        WriteSpectrum("-zero-step.msa", "zero step", 0.0, [](int) { return 5; });
    const ProgramRun run = RunXrayUtils("plot " + Quoted(file) + " -o " + Quoted(png));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("xrayutils: nothing to draw: the energies or times span an "
                                   "empty range"));
    EXPECT_THAT(run.err, Not(HasSubstr("PLPLOT"))) << "PLplot's own printing is kept quiet";
    EXPECT_FALSE(std::filesystem::exists(png));
}

TEST(XrayUtilsPlotTest, UnreadableFileWritesNothing) {
    const std::string svg = testsupport::TestFile("-missing.svg");
    std::filesystem::remove(svg);
    const ProgramRun run = RunXrayUtils("plot no-such-file.msa -o " + Quoted(svg));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("no-such-file.msa"));
    EXPECT_FALSE(std::filesystem::exists(svg));
}

// Several spectra, one unreadable, one without a fit and one with a hostile title: every
// spectrum has its section, PLplot draws one picture after another, texts are escaped.
TEST(XrayUtilsReportTest, OnePageForEverySpectrum) {
    const std::string page = testsupport::TestFile("-report.html");
    const std::string hostile =
        WriteBackgroundSpectrum("<script>alert('x')</script> \"quoted\" & <b>bold</b>");
    const ProgramRun run =
        RunXrayUtils("report " + Quoted(kSample) + " " + Quoted(kIceCarbon) + " no-such-file.msa " +
                     Quoted(hostile) + " -o " + Quoted(page) + " --thickness 50");
    EXPECT_EQ(run.status, 1) << "a file could not be read and a fit failed";
    const std::string html = ReadBinaryFile(page);
    ASSERT_THAT(html, HasSubstr("</html>"));
    EXPECT_THAT(testsupport::ExternalReferences(html), IsEmpty());
    EXPECT_THAT(html, Not(HasSubstr("<script")));
    EXPECT_THAT(html, Not(HasSubstr("<b>bold")));
    EXPECT_THAT(html,
                HasSubstr("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &quot;quoted&quot; "
                          "&amp; &lt;b&gt;bold&lt;/b&gt;"));
    size_t sections = 0, pictures = 0;
    for (size_t at = html.find("<section"); at != std::string::npos;
         at = html.find("<section", at + 1))
        ++sections;
    for (size_t at = html.find("<svg "); at != std::string::npos; at = html.find("<svg ", at + 1))
        ++pictures;
    EXPECT_EQ(sections, 4u);
    EXPECT_EQ(pictures, 3u) << "every spectrum that was read has its picture";
    EXPECT_THAT(html, HasSubstr("<h2>NiOx-sample-ice-carbon</h2>"));
    EXPECT_THAT(html, HasSubstr("Collection solid angle"));
    EXPECT_THAT(html, HasSubstr("no-such-file.msa"));
    EXPECT_THAT(html, HasSubstr("failed: The Ni Ka line could not be measured"));
}

TEST(XrayUtilsReportTest, AllReadAndEvaluatedIsSuccess) {
    const std::string page = testsupport::TestFile("-ok.html");
    const ProgramRun run = RunXrayUtils("report " + Quoted(kSample) + " -o " + Quoted(page));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(ReadBinaryFile(page), HasSubstr("not evaluated: needs --thickness"));
    const ProgramRun unwritable =
        RunXrayUtils("report " + Quoted(kSample) + " -o no/such/folder/page.html");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_THAT(unwritable.err, HasSubstr("cannot write no/such/folder/page.html"));
}

}  // namespace
