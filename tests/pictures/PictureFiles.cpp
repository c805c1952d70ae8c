#include "tests/pictures/PictureFiles.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace testsupport {

namespace {

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t k = 0; k < 4; ++k)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

std::string Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr)
        return "";
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::vector<std::pair<double, double>> PointsOf(const std::string& points) {
    std::vector<std::pair<double, double>> out;
    std::string normalised = points;
    std::replace(normalised.begin(), normalised.end(), ',', ' ');
    std::istringstream in(normalised);
    double x = 0, y = 0;
    while (in >> x >> y)
        out.emplace_back(x, y);
    return out;
}

double NumberAttribute(xmlNode* node, const char* name) {
    const std::string value = Attribute(node, name);
    return value.empty() ? 0.0 : std::stod(value);
}

// PLplot places a text by a transform matrix(1 0 0 -1 e f) that turns the picture's upward y
// down again for the letters, and x and y attributes within it: the baseline starts at
// (e + x, f - y) in the picture's units.
SvgText TextOf(xmlNode* node, const char* characters) {
    SvgText text;
    text.characters = characters;
    text.fontSize = NumberAttribute(node, "font-size");
    static const std::regex kMatrix(R"(matrix\(([^)]*)\))");
    const std::string transform = Attribute(node, "transform");
    std::smatch match;
    double m[6] = {1, 0, 0, 1, 0, 0};
    if (std::regex_search(transform, match, kMatrix)) {
        std::istringstream in(match[1].str());
        for (double& v : m)
            in >> v;
    }
    const double x = NumberAttribute(node, "x"), y = NumberAttribute(node, "y");
    text.x = m[0] * x + m[2] * y + m[4];
    text.baseline = m[1] * x + m[3] * y + m[5];
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void Collect(xmlNode* node, SvgContent& content) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        const std::string name(reinterpret_cast<const char*>(node->name));
        // PLplot writes filled areas as polylines with a fill.
        const bool filled = (name == "polygon" || name == "polyline") &&
                            !Attribute(node, "fill").empty() && Attribute(node, "fill") != "none";
        const bool clipping =
            node->parent != nullptr &&
            std::string(reinterpret_cast<const char*>(node->parent->name)) == "clipPath";
        if (filled && !clipping) {
            const auto points = PointsOf(Attribute(node, "points"));
            SvgPolygon p;
            p.fill = Upper(Attribute(node, "fill"));
            const std::string opacity = Attribute(node, "fill-opacity");
            p.opacity = opacity.empty() ? 1.0 : std::stod(opacity);
            p.vertices = points.size();
            // The centre of the distinct vertices: closed outlines repeat the first.
            size_t distinct = points.size();
            if (distinct > 1 && points.front() == points.back())
                --distinct;
            for (size_t k = 0; k < distinct; ++k) {
                p.x += points[k].first / distinct;
                p.y += points[k].second / distinct;
            }
            content.polygons.push_back(p);
        } else if (name == "polyline") {
            SvgPolyline line;
            line.stroke = Upper(Attribute(node, "stroke"));
            for (const auto& point : PointsOf(Attribute(node, "points"))) {
                line.x.push_back(point.first);
                line.y.push_back(point.second);
            }
            content.polylines.push_back(line);
        } else if (name == "text") {
            xmlChar* text = xmlNodeGetContent(node);
            if (text != nullptr) {
                content.texts.push_back(TextOf(node, reinterpret_cast<const char*>(text)));
                content.text += content.texts.back().characters + " ";
                xmlFree(text);
            }
            continue;
        }
        Collect(node->children, content);
    }
}

}  // namespace

std::string ReadBinaryFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::optional<Dimensions> PngDimensions(const std::string& bytes) {
    static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.size() < 24 || bytes.compare(0, 8, kSignature) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    return Dimensions{static_cast<int>(BigEndian32(bytes, 16)),
                      static_cast<int>(BigEndian32(bytes, 20))};
}

std::optional<Dimensions> PdfMediaBox(const std::string& bytes) {
    if (bytes.compare(0, 5, "%PDF-") != 0)
        return std::nullopt;
    static const std::regex kBox(
        R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
    std::smatch match;
    if (!std::regex_search(bytes, match, kBox))
        return std::nullopt;
    return Dimensions{static_cast<int>(std::lround(std::stod(match[3]) - std::stod(match[1]))),
                      static_cast<int>(std::lround(std::stod(match[4]) - std::stod(match[2])))};
}

SvgContent ReadSvg(const std::string& svgText) {
    SvgContent content;
    xmlDoc* document =
        xmlReadMemory(svgText.data(), static_cast<int>(svgText.size()), "picture.svg", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr) {
        const xmlError* error = xmlGetLastError();
        content.error = error != nullptr && error->message != nullptr ? error->message : "?";
        return content;
    }
    xmlNode* root = xmlDocGetRootElement(document);
    content.wellFormed =
        root != nullptr && std::string(reinterpret_cast<const char*>(root->name)) == "svg";
    if (root != nullptr)
        Collect(root->children, content);
    xmlFreeDoc(document);
    return content;
}

std::vector<std::string> ExternalReferences(const std::string& html) {
    static const std::regex kPatterns[] = {
        std::regex(R"([a-zA-Z][a-zA-Z0-9+.-]*://[^\s"'<>)]*)"),
        std::regex(R"((https?|ftp|file):)", std::regex::icase),
        std::regex(R"(\b(src|href|xlink:href|srcset|action|poster|data)\s*=\s*(?!["']?#)[^\s>]*)",
                   std::regex::icase),
        std::regex(R"(@import)", std::regex::icase),
        std::regex(R"(url\s*\(\s*(?!['"]?#))", std::regex::icase),
        std::regex(R"(<\s*(script|link|iframe|object|embed|img|base|meta\s+http-equiv)\b)",
                   std::regex::icase),
    };
    std::vector<std::string> found;
    for (const std::regex& pattern : kPatterns)
        for (auto it = std::sregex_iterator(html.begin(), html.end(), pattern);
             it != std::sregex_iterator(); ++it)
            found.push_back(it->str());
    return found;
}

}  // namespace testsupport
