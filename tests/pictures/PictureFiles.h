// PictureFiles: what the picture tests read back from the files the program writes: PNG and
// PDF sizes from their headers, the markers and lines of a PLplot SVG parsed as XML, and the
// references an HTML page makes to anything outside itself.
#ifndef XRAY_TESTS_PICTURES_PICTUREFILES_H
#define XRAY_TESTS_PICTURES_PICTUREFILES_H

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

std::string ReadBinaryFile(const std::string& path);

// Width and height from a PNG's IHDR chunk; none when the signature or the chunk is not
// there.
struct Dimensions {
    int width = 0;
    int height = 0;
};
std::optional<Dimensions> PngDimensions(const std::string& bytes);

// Width and height of the first /MediaBox [x0 y0 x1 y1] of a PDF, in points.
std::optional<Dimensions> PdfMediaBox(const std::string& bytes);

// A filled area of a PLplot SVG: its fill colour ("#005493", upper case), opacity and the
// centre of its vertices in SVG user units (y upward, as PLplot's outer transform leaves
// it). Clip paths are not areas.
struct SvgPolygon {
    std::string fill;
    double opacity = 1.0;
    double x = 0.0, y = 0.0;
    size_t vertices = 0;
};

// A polyline: its stroke colour and vertices.
struct SvgPolyline {
    std::string stroke;
    std::vector<double> x, y;
};

// A text element: its characters, and where its baseline starts in SVG user units (y upward,
// like the polygons) and its font size.
struct SvgText {
    std::string characters;
    double x = 0.0, baseline = 0.0;
    double fontSize = 0.0;
};

struct SvgContent {
    bool wellFormed = false;  // parsed as XML, root element <svg>
    std::string error;        // the parser's message when it did not
    std::vector<SvgPolygon> polygons;
    std::vector<SvgPolyline> polylines;
    std::vector<SvgText> texts;
    std::string text;  // every text element's characters, in order, joined by spaces
};
SvgContent ReadSvg(const std::string& svgText);

// Every reference of an HTML page to something outside it: http: and https: and other
// URLs, src and href attributes that are not fragments, @import, url(...) other than url(#id) and
// <script>, <link>, <iframe>, <object> and <embed> elements. Empty for a self-contained page.
std::vector<std::string> ExternalReferences(const std::string& html);

}  // namespace testsupport

#endif  // XRAY_TESTS_PICTURES_PICTUREFILES_H
