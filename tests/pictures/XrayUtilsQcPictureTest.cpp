// qc chart and qc report of the built program on a QC history it recorded itself: a detector
// with a hostile name whose resolution drifts out of its limits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/pictures/PictureFiles.h"
#include "tests/qc/QcTestFiles.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testsupport::ProgramRun;
using testsupport::ReadBinaryFile;

const std::string kDetector = "<script>alert(\"EDS\")</script>";

class XrayUtilsQcPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fFolder = qctest::FreshFolder();
        std::string files;
        // Seven weeks at 130 eV, then three at 136 eV; week 2 is culled.
        for (int week = 1; week <= 10; ++week)
            files += " " + qctest::WriteSpectrum(fFolder + "/week" + std::to_string(week) + ".msa",
                                                 qctest::Week(week, week <= 7 ? 130.0 : 136.0),
                                                 qctest::WeekTime(week));
        ASSERT_EQ(Qc("add --detector '" + kDetector + "'" + files).status, 0);
        ASSERT_EQ(Qc("cull 2").status, 0);
        ASSERT_EQ(Qc("limits --detector '" + kDetector + "' --baseline 6").status, 0);
    }

    ProgramRun Qc(const std::string& arguments) const {
        return testsupport::RunProgramInTest(XRAYUTILS_PATH,
                                             "qc --db '" + fFolder + "/qc.sqlite' " + arguments);
    }

    std::string fFolder;
};

TEST_F(XrayUtilsQcPictureTest, ChartsShowTheEntriesOutsideTheLimits) {
    const std::string one = fFolder + "/fwhm.svg";
    ProgramRun run = Qc("chart --detector '" + kDetector +
                        "' --quantity energy_resolution.fwhm_mn_ka_ev -o '" + one + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const testsupport::SvgContent svg = testsupport::ReadSvg(ReadBinaryFile(one));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    size_t diamonds = 0, circles = 0;
    for (const testsupport::SvgPolygon& polygon : svg.polygons) {
        diamonds += polygon.vertices == 5 ? 1 : 0;
        circles += polygon.vertices == 21 ? 1 : 0;
    }
    EXPECT_EQ(diamonds, 1u + 3u) << "the legend's and the three drifted weeks'";
    EXPECT_EQ(circles, 2u + 7u) << "the legend's two and the seven weeks within";

    // Every tracked quantity with values: without --thickness no solid angle, no efficiency.
    const std::string all = fFolder + "/all.png";
    run =
        Qc("chart --detector '" + kDetector + "' --quantity all -o '" + all + "' --size 900x2400");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = testsupport::PngDimensions(ReadBinaryFile(all));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 900);
    EXPECT_EQ(png->height, 2400);

    EXPECT_EQ(Qc("chart --detector '" + kDetector + "' --quantity solid_angle_sr.value -o '" +
                 fFolder + "/none.svg'")
                  .status,
              1);
    run = Qc("chart --detector EDS-9 --quantity all -o '" + fFolder + "/x.svg'");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("EDS-9"));
    EXPECT_FALSE(std::filesystem::exists(fFolder + "/x.svg"));
}

TEST_F(XrayUtilsQcPictureTest, ReportPageIsSelfContainedAndEscaped) {
    const std::string path = fFolder + "/qc.html";
    const ProgramRun run = Qc("report --detector '" + kDetector + "' -o '" + path + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = ReadBinaryFile(path);
    EXPECT_THAT(testsupport::ExternalReferences(page), IsEmpty());
    EXPECT_THAT(page, Not(HasSubstr("<script")));
    EXPECT_THAT(page, HasSubstr("Detector QC report: &lt;script&gt;alert(&quot;EDS&quot;)"));
    EXPECT_THAT(page, HasSubstr("10 entries (1 culled), acquired 2026-01-05 09:00:00 to "
                                "2026-03-09 09:00:00"));
    EXPECT_THAT(page, HasSubstr("Latest check: entry 10"));
    EXPECT_THAT(page, HasSubstr("<li>FWHM at Mn K\xCE\xB1: "));
    size_t charts = 0;
    for (size_t at = page.find("<svg "); at != std::string::npos; at = page.find("<svg ", at + 1))
        ++charts;
    EXPECT_EQ(charts, 8u) << "eleven tracked quantities less the three needing --thickness";
}

}  // namespace
