// TagComparison: one tag tree against another, member by member in order, by label, kind
// and value; a failure names the tag's path.
#ifndef XRAY_TESTS_IMPORT_TAGCOMPARISON_H
#define XRAY_TESTS_IMPORT_TAGCOMPARISON_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "host/StandInHost.h"

namespace importtest {

inline const char* KindName(dmhost::TagKind kind) {
    switch (kind) {
        case dmhost::TagKind::kLong:
            return "long";
        case dmhost::TagKind::kDouble:
            return "double";
        case dmhost::TagKind::kString:
            return "text";
        case dmhost::TagKind::kGroup:
            return "group";
        case dmhost::TagKind::kList:
            return "list";
    }
    return "?";
}

// Doubles compare exactly (not-a-number equal to itself): the import copies them unchanged.
inline void ExpectSameTags(const dmhost::TagValue& expected, const dmhost::TagValue& actual,
                           const std::string& where = "(root)") {
    EXPECT_EQ(actual.label, expected.label) << where;
    ASSERT_EQ(KindName(actual.kind), std::string(KindName(expected.kind))) << where;
    switch (expected.kind) {
        case dmhost::TagKind::kLong:
            EXPECT_EQ(actual.longValue, expected.longValue) << where;
            return;
        case dmhost::TagKind::kDouble:
            if (!(std::isnan(expected.doubleValue) && std::isnan(actual.doubleValue))) {
                EXPECT_EQ(actual.doubleValue, expected.doubleValue) << where;
            }
            return;
        case dmhost::TagKind::kString:
            EXPECT_EQ(actual.text, expected.text) << where;
            return;
        case dmhost::TagKind::kGroup:
        case dmhost::TagKind::kList:
            break;
    }
    EXPECT_EQ(actual.members.size(), expected.members.size()) << where << " member count";
    const size_t common = std::min(actual.members.size(), expected.members.size());
    for (size_t i = 0; i < common; ++i) {
        const std::string label = expected.members[i].label.empty() ? "[" + std::to_string(i) + "]"
                                                                    : expected.members[i].label;
        ExpectSameTags(expected.members[i], actual.members[i], where + ":" + label);
    }
}

}  // namespace importtest

#endif  // XRAY_TESTS_IMPORT_TAGCOMPARISON_H
