// Control limits, checks and the tracked values of records, on plain values: no database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "cli/QcControl.h"

namespace {

using namespace xrayutils;
using ::testing::HasSubstr;

const std::string kResolution = "energy_resolution.fwhm_mn_ka_ev";
const std::string kHoles = "inverse_hole_count.value";
const std::string kIce = "contamination.ice_nm";
const std::string kSolidAngle = "solid_angle_sr.value";

size_t Index(const std::string& quantity) {
    return QcQuantityIndex(quantity);
}

// An entry with a resolution, an inverse hole count with its error, and an ice layer
// against the reference (none for the reference itself).
QcEntry Entry(int64_t id, double resolution, double holes, double holesError,
              std::optional<double> ice) {
    QcEntry e;
    e.id = id;
    e.acquired = "2026-01-0" + std::to_string(id) + "T09:00:00";
    e.values.resize(QcTrackedQuantities().size());
    e.values[Index(kResolution)].value = resolution;
    e.values[Index(kHoles)] = QcValue{holes, holesError, ""};
    if (ice)
        e.values[Index(kIce)] = QcValue{*ice, 0.5, ""};
    else
        e.reference = true;
    return e;
}

std::vector<QcEntry> Baseline() {
    return {Entry(1, 130.0, 50.0, 2.0, std::nullopt), Entry(2, 131.0, 50.1, 2.0, 0.2),
            Entry(3, 129.0, 49.9, 2.0, -0.4), Entry(4, 130.0, 50.0, 2.0, 0.1),
            Entry(5, 130.0, 50.0, 2.0, 0.1)};
}

const QcLimit& LimitOf(const std::vector<QcLimit>& limits, const std::string& quantity) {
    for (const QcLimit& limit : limits)
        if (limit.quantity == quantity)
            return limit;
    throw std::runtime_error("no limit of " + quantity);
}

// Resolutions 130, 131, 129, 130, 130 spread by sqrt(0.5) with no counting error given;
// hole counts spread by 0.07 but each counted to +-2, so s is the counting error.
TEST(QcControlTest, BaselineLimitsTakeTheLargerOfSpreadAndCountingError) {
    const std::vector<QcLimit> limits = BaselineLimits(Baseline(), "first 5");
    const QcLimit& resolution = LimitOf(limits, kResolution);
    EXPECT_DOUBLE_EQ(resolution.mean, 130.0);
    EXPECT_DOUBLE_EQ(resolution.s, std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(resolution.low, 130.0 - 3 * std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(resolution.high, 130.0 + 3 * std::sqrt(0.5));
    EXPECT_EQ(resolution.source, "baseline");
    EXPECT_EQ(resolution.count, 5);
    EXPECT_EQ(resolution.basis, "first 5");

    const QcLimit& holes = LimitOf(limits, kHoles);
    EXPECT_NEAR(holes.mean, 50.0, 1e-12);
    EXPECT_DOUBLE_EQ(holes.s, 2.0) << "not the lucky spread of 0.07";
    EXPECT_NEAR(holes.low, 44.0, 1e-12);

    const QcLimit& ice = LimitOf(limits, kIce);
    EXPECT_EQ(ice.count, 4) << "the reference has no ice against itself";
    EXPECT_NEAR(ice.mean, 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(ice.s, std::max(std::sqrt(0.22 / 3), 0.5));

    for (const QcLimit& limit : limits)
        EXPECT_NE(limit.quantity, kSolidAngle) << "no values, no limits";
    EXPECT_EQ(limits.size(), 3u);
}

TEST(QcControlTest, ABaselineLeavesCulledEntriesOutAndNeedsFiveOthers) {
    std::vector<QcEntry> baseline = Baseline();
    baseline.push_back(Entry(6, 150.0, 20.0, 2.0, 9.0));
    baseline.back().culled = true;
    EXPECT_DOUBLE_EQ(LimitOf(BaselineLimits(baseline, "b"), kResolution).mean, 130.0);

    baseline[2].culled = true;
    try {
        BaselineLimits(baseline, "the first 6 entries");
        FAIL() << "four entries that are not culled make no baseline";
    } catch (const QcError& e) {
        EXPECT_THAT(e.what(), HasSubstr("at least 5 entries that are not culled; the first 6 "
                                        "entries has 4"));
    }

    // One value of a quantity gives it no limits; the rest are still limited.
    baseline = Baseline();
    for (size_t k = 1; k < baseline.size(); ++k)
        baseline[k].values[Index(kHoles)] = QcValue{};
    const std::vector<QcLimit> limits = BaselineLimits(baseline, "b");
    EXPECT_EQ(limits.size(), 2u);
    EXPECT_THROW(LimitOf(limits, kHoles), std::runtime_error);
}

TEST(QcControlTest, LimitsSetExplicitlyReadLikeBaselineLimits) {
    const QcLimit limit = SetLimit(kResolution, 120.0, 136.0);
    EXPECT_EQ(limit.quantity, kResolution);
    EXPECT_DOUBLE_EQ(limit.low, 120.0);
    EXPECT_DOUBLE_EQ(limit.high, 136.0);
    EXPECT_DOUBLE_EQ(limit.mean, 128.0);
    EXPECT_DOUBLE_EQ(limit.s, 16.0 / 6.0);
    EXPECT_EQ(limit.source, "set");

    try {
        SetLimit("energy_resolution.fwhm", 1, 2);
        FAIL() << "an unknown quantity";
    } catch (const QcError& e) {
        EXPECT_THAT(e.what(),
                    HasSubstr("unknown quantity \"energy_resolution.fwhm\"; the "
                              "tracked quantities are energy_resolution.fwhm_mn_ka_ev, "));
        EXPECT_THAT(e.what(), HasSubstr("contamination.carbon_nm"));
    }
    EXPECT_THROW(SetLimit(kResolution, 136.0, 120.0), QcError);
    EXPECT_THROW(SetLimit(kResolution, 130.0, 130.0), QcError);
    EXPECT_THROW(SetLimit(kResolution, NAN, 130.0), QcError);
}

TEST(QcControlTest, ACheckSortsEveryQuantityIntoWithinOutsideOrUnchecked) {
    std::vector<QcLimit> limits = BaselineLimits(Baseline(), "b");
    limits.push_back(SetLimit(kSolidAngle, 0.1, 0.14));
    limits.push_back(SetLimit("fiori_pb.value", 10.0, 20.0));
    QcEntry entry = Entry(9, 133.0, 51.0, 2.0, 0.3);
    entry.values[Index("fiori_pb.value")].failure = "The background is empty.";

    const QcEntryCheck check = CheckEntry(entry, limits);
    EXPECT_EQ(check.entry, 9);
    EXPECT_FALSE(check.withinLimits);
    ASSERT_EQ(check.quantities.size(), QcTrackedQuantities().size());

    const QcQuantityCheck& resolution = check.quantities[Index(kResolution)];
    EXPECT_EQ(resolution.status, QcStatus::kOutside) << "3 above a mean of 130, s 0.71";
    EXPECT_DOUBLE_EQ(*resolution.sigmasFromMean, 3.0 / std::sqrt(0.5));
    const QcQuantityCheck& holes = check.quantities[Index(kHoles)];
    EXPECT_EQ(holes.status, QcStatus::kWithin);
    EXPECT_NEAR(*holes.sigmasFromMean, 0.5, 1e-12);
    EXPECT_EQ(check.quantities[Index(kSolidAngle)].status, QcStatus::kUnchecked);
    EXPECT_EQ(check.quantities[Index(kSolidAngle)].reason, "not evaluated");
    const QcQuantityCheck& fiori = check.quantities[Index("fiori_pb.value")];
    EXPECT_EQ(fiori.status, QcStatus::kOutside) << "a failed evaluation is a finding";
    EXPECT_EQ(fiori.reason, "The background is empty.");
    const QcQuantityCheck& moKL = check.quantities[Index("mo_kl_ratio.value")];
    EXPECT_EQ(moKL.status, QcStatus::kUnchecked);
    EXPECT_EQ(moKL.reason, "no limits");

    // Within everywhere it is checked, and the reference's own contamination is unchecked.
    const QcEntryCheck reference = CheckEntry(Entry(1, 130.5, 49.0, 2.0, std::nullopt), limits);
    EXPECT_TRUE(reference.withinLimits);
    EXPECT_EQ(reference.quantities[Index(kIce)].status, QcStatus::kUnchecked);
    EXPECT_EQ(reference.quantities[Index(kIce)].reason, "the reference entry");

    // A limit of no width gives no distance in s, and only its own value is within it.
    const std::vector<QcLimit> flat = {QcLimit{kResolution, 130, 130, 130, 0, "baseline", 5, ""}};
    EXPECT_FALSE(CheckEntry(Entry(2, 130.0, 50, 2, 0.0), flat)
                     .quantities[Index(kResolution)]
                     .sigmasFromMean.has_value());
    EXPECT_TRUE(CheckEntry(Entry(2, 130.0, 50, 2, 0.0), flat).withinLimits);
    EXPECT_FALSE(CheckEntry(Entry(2, 130.1, 50, 2, 0.0), flat).withinLimits);
}

TEST(QcControlTest, CheckAndLimitsJsonHaveTheirKeys) {
    const std::vector<QcLimit> limits = {SetLimit(kResolution, 120.0, 136.0),
                                         SetLimit("fiori_pb.value", 10.0, 20.0)};
    QcEntry entry = Entry(7, 140.0, 50.0, 2.0, 0.0);
    entry.values[Index("fiori_pb.value")].failure = "The background is empty.";
    const Json check = CheckJson(CheckEntry(entry, limits));
    EXPECT_EQ(check["entry"], 7);
    EXPECT_EQ(check["acquired"], entry.acquired);
    EXPECT_EQ(check["within_limits"], false);
    ASSERT_EQ(check["quantities"].size(), QcTrackedQuantities().size());
    EXPECT_EQ(check["quantities"][0], (Json{{"quantity", kResolution},
                                            {"value", 140.0},
                                            {"low", 120.0},
                                            {"high", 136.0},
                                            {"within", false},
                                            {"sigmas_from_mean", 12.0 / (16.0 / 6.0)}}));
    EXPECT_EQ(check["quantities"][Index(kHoles)], (Json{{"quantity", kHoles},
                                                        {"value", 50.0},
                                                        {"low", nullptr},
                                                        {"high", nullptr},
                                                        {"within", nullptr},
                                                        {"sigmas_from_mean", nullptr}}));
    EXPECT_EQ(check["quantities"][Index("fiori_pb.value")]["error"], "The background is empty.");
    EXPECT_TRUE(check["quantities"][Index("fiori_pb.value")]["value"].is_null());

    EXPECT_EQ(LimitsJson(limits)[0], (Json{{"quantity", kResolution},
                                           {"low", 120.0},
                                           {"high", 136.0},
                                           {"mean", 128.0},
                                           {"s", 16.0 / 6.0},
                                           {"source", "set"}}));
}

// A record of one spectrum: the energy resolution failed, a ratio is not finite, the solid
// angle was not selected.
TEST(QcControlTest, TrackedValuesComeFromTheRecordAndTheContamination) {
    const Json record = Json::parse(R"({
        "file": "a.msa", "name": "a",
        "inverse_hole_count": {"value": 48.5, "error_1sigma": 1.5, "error_2sigma": 3.0,
                               "error_3sigma": 4.5},
        "mo_kl_ratio": {"value": null, "error_1sigma": null},
        "errors": {"energy_resolution": "The Ni Ka line could not be measured."}})");
    xray::Contamination contamination;
    contamination.ice = 4.0;
    contamination.iceErrors = {0.5, 1.0, 1.5};
    contamination.carbon = NAN;
    const std::vector<QcValue> values = TrackedValues(record, contamination);
    ASSERT_EQ(values.size(), QcTrackedQuantities().size());

    EXPECT_EQ(*values[Index(kHoles)].value, 48.5);
    EXPECT_EQ(*values[Index(kHoles)].error, 1.5);
    EXPECT_EQ(values[Index(kResolution)].failure, "The Ni Ka line could not be measured.");
    EXPECT_FALSE(values[Index(kResolution)].value);
    EXPECT_EQ(values[Index("mo_kl_ratio.value")].failure, "not a finite number");
    EXPECT_FALSE(values[Index(kSolidAngle)].value);
    EXPECT_EQ(values[Index(kSolidAngle)].failure, "") << "not selected is not a failure";
    EXPECT_EQ(*values[Index(kIce)].value, 4.0);
    EXPECT_EQ(*values[Index(kIce)].error, 0.5);
    EXPECT_EQ(values[Index("contamination.carbon_nm")].failure, "not a finite number");

    const std::vector<QcValue> reference = TrackedValues(record, std::nullopt);
    EXPECT_FALSE(reference[Index(kIce)].value);
    EXPECT_EQ(reference[Index(kIce)].failure, "");
}

TEST(QcControlTest, AnEntrysJsonIsItsRecordWithTheHistorysKeys) {
    QcEntry entry = Entry(3, 130.0, 50.0, 2.0, 1.0);
    entry.detector = "EDS-1";
    entry.record = Json::parse(R"({"file": "a.msa", "name": "a", "errors": {}})");
    entry.contamination = xray::Contamination{1.0, {0.5, 1.0, 1.5}, -2.0, {0.1, 0.2, 0.3}};
    const Json j = EntryJson(entry);
    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "detector", "acquired", "culled", "note",
                                              "recorded", "program_version", "file", "name",
                                              "errors", "contamination"}));
    EXPECT_EQ(
        j["contamination"]["ice_nm"],
        (Json{
            {"value", 1.0}, {"error_1sigma", 0.5}, {"error_2sigma", 1.0}, {"error_3sigma", 1.5}}));
    EXPECT_EQ(j["contamination"]["carbon_nm"]["value"], -2.0);

    entry.contamination.reset();
    EXPECT_TRUE(EntryJson(entry)["contamination"].is_null());
}

}  // namespace
