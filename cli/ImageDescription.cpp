#include "cli/ImageDescription.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace xrayutils {
namespace {

template <typename Real>
std::string ShortestText(Real value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::string TagText(const dmhost::TagValue& tag) {
    switch (tag.kind) {
        case dmhost::TagKind::kLong:
            return std::to_string(tag.longValue);
        case dmhost::TagKind::kDouble:
            return FormatDouble(tag.doubleValue);
        case dmhost::TagKind::kString:
            return tag.text;
        case dmhost::TagKind::kGroup:
        case dmhost::TagKind::kList:
            break;
    }
    return "";
}

bool IsContainer(const dmhost::TagValue& tag) {
    return tag.kind == dmhost::TagKind::kGroup || tag.kind == dmhost::TagKind::kList;
}

void DescribeTag(const dmhost::TagValue& tag, const std::string& label, int depth,
                 std::ostream& out) {
    out << std::string(2 * static_cast<size_t>(depth), ' ') << label << ":";
    if (!IsContainer(tag)) {
        out << " " << TagText(tag) << "\n";
        return;
    }
    out << "\n";
    DescribeTags(tag, depth + 1, out);
}

// From the dimensions, so that a snapshot taken without its values describes the same.
uint64_t ElementCount(const dmhost::ImageSnapshot& image) {
    uint64_t count = image.dimensions.empty() ? 0 : 1;
    for (const uint32_t size : image.dimensions)
        count *= size;
    return count;
}

}  // namespace

std::string FormatReal4(float value) {
    return ShortestText(value);
}

std::string FormatDouble(double value) {
    return ShortestText(value);
}

void DescribeImage(const dmhost::ImageSnapshot& image, std::ostream& out) {
    const dmhost::DimensionCalibration calibration =
        image.calibrations.empty() ? dmhost::DimensionCalibration() : image.calibrations[0];
    out << "Name: " << image.name << "\n"
        << "Channels: " << ElementCount(image) << "\n"
        << "Origin: " << FormatReal4(calibration.origin) << "\n"
        << "Scale: " << FormatReal4(calibration.scale) << "\n"
        << "Units: " << calibration.units << "\n"
        << "Intensity unit: " << image.intensityUnit << "\n"
        << "Tags:\n";
    DescribeTags(image.tags, 1, out);
}

void DescribeTags(const dmhost::TagValue& group, int depth, std::ostream& out) {
    const bool list = group.kind == dmhost::TagKind::kList;
    for (size_t i = 0; i < group.members.size(); ++i) {
        const dmhost::TagValue& member = group.members[i];
        const std::string label = list ? "[" + std::to_string(i) + "]" : member.label;
        DescribeTag(member, label, depth, out);
    }
}

}  // namespace xrayutils
