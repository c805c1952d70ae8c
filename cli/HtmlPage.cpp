#include "cli/HtmlPage.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "cli/PlotStyle.h"

namespace xrayutils {

namespace {

// Styles for screen and print. Fonts are the reader's own sans-serif faces; nothing is
// fetched.
std::string PageStyles() {
    return R"(
@page { size: A4; margin: 14mm 13mm 16mm 13mm; }
html { background: #ffffff; }
body { color: #1a1a1a; font-family: "DejaVu Sans", "Liberation Sans", Arial, Helvetica, sans-serif;
  font-size: 10pt; line-height: 1.4; max-width: 184mm; margin: 0 auto; padding: 6mm 4mm; }
h1 { font-size: 17pt; margin: 0 0 1mm 0; }
h2 { font-size: 13pt; margin: 7mm 0 2mm 0; padding-bottom: 1mm; border-bottom: 1px solid #bbbbbb; }
h3 { font-size: 11pt; margin: 4mm 0 1mm 0; }
p.subtitle { color: #555555; margin: 0 0 4mm 0; }
table { border-collapse: collapse; width: 100%; margin: 1mm 0 3mm 0; }
th, td { text-align: left; vertical-align: top; padding: 0.9mm 2mm; border-bottom: 1px solid #dddddd; }
thead th { border-bottom: 1.5px solid #555555; font-weight: bold; }
th.number, td.number { text-align: right; font-variant-numeric: tabular-nums; }
td.number { white-space: nowrap; }
td.path { overflow-wrap: anywhere; }
table.compact { font-size: 8pt; }
table.compact th, table.compact td { padding: 0.6mm 1.2mm; }
table.values th, table.values td { padding: 0.6mm 0.7mm; }
table.facts th { width: 38%; font-weight: normal; color: #555555; }
tr.culled td { color: #888888; }
td.outside, span.outside { color: ALARM; font-weight: bold; }
figure { margin: 2mm 0 4mm 0; break-inside: avoid; }
figure svg { display: block; width: 100%; height: auto; }
figcaption { color: #555555; font-size: 8.5pt; }
.error { color: ALARM; }
div.status { margin: 3mm 0 4mm 0; padding: 2.5mm 4mm; break-inside: avoid; }
div.status p { margin: 0.5mm 0; }
div.within { background: #e6f5ef; border-left: 5px solid MEAN_OK; }
div.outside { background: #fcebe0; border-left: 5px solid ALARM; }
div.unchecked { background: #f2f2f2; border-left: 5px solid #888888; }
p.footer { color: #777777; font-size: 8pt; margin-top: 8mm; }
section { break-inside: auto; }
@media print {
  body { max-width: none; padding: 0; }
  section.spectrum + section.spectrum { break-before: page; }
  h2, h3 { break-after: avoid; }
  tr, figure { break-inside: avoid; }
}
)";
}

std::string WithColours(std::string css) {
    const auto replace = [&css](const std::string& name, const std::string& value) {
        for (size_t at = css.find(name); at != std::string::npos; at = css.find(name, at))
            css.replace(at, name.size(), value);
    };
    replace("MEAN_OK", HexColour(kMolybdenumLColour));
    replace("ALARM", HexColour(kAlarmColour));
    return css;
}

std::string AttributeOf(const std::string& tag, const std::string& name) {
    const std::string key = name + "=\"";
    const size_t at = tag.find(key);
    if (at == std::string::npos)
        return "";
    const size_t end = tag.find('"', at + key.size());
    return end == std::string::npos ? "" : tag.substr(at + key.size(), end - at - key.size());
}

std::string ScratchSvgPath() {
    std::random_device random;
    char name[48];
    std::snprintf(name, sizeof name, "xrayutils-%08x%08x.svg", static_cast<unsigned>(random()),
                  static_cast<unsigned>(random()));
    return (std::filesystem::temp_directory_path() / name).string();
}

// Element ids and the url(#id) references to them made unique in the page: every picture
// PLplot draws names its clip paths alike, and in one HTML document an id means the first
// element that has it.
std::string WithIdsPrefixed(const std::string& svg, const std::string& prefix) {
    std::string out;
    out.reserve(svg.size() + 256);
    for (size_t k = 0; k < svg.size();) {
        if (svg.compare(k, 4, "id=\"") == 0 &&
            (k == 0 || svg[k - 1] == ' ' || svg[k - 1] == '\n')) {
            out += "id=\"" + prefix;
            k += 4;
        } else if (svg.compare(k, 5, "url(#") == 0) {
            out += "url(#" + prefix;
            k += 5;
        } else {
            out += svg[k++];
        }
    }
    return out;
}

}  // namespace

std::string EscapeHtml(const std::string& text) {
    std::string out;
    for (const char c : CleanText(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PageStart(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" +
           EscapeHtml(title) + "</title>\n<style>" + WithColours(PageStyles()) +
           "</style>\n</head>\n<body>\n";
}

std::string PageEnd() {
    return "<p class=\"footer\">Made by xrayutils " XRAY_PROGRAM_VERSION
           ".</p>\n</body>\n</html>\n";
}

std::string InlineSvg(const std::string& svgFile, const std::string& description) {
    static std::atomic<int> sPictures{0};
    const size_t start = svgFile.find("<svg");
    const size_t end = start == std::string::npos ? start : svgFile.find('>', start);
    if (end == std::string::npos)
        throw PlotError("the SVG picture holds no <svg> element");
    const std::string tag = svgFile.substr(start, end + 1 - start);
    std::string viewBox = AttributeOf(tag, "viewBox");
    if (viewBox.empty())
        viewBox = "0 0 " + AttributeOf(tag, "width") + " " + AttributeOf(tag, "height");
    const std::string prefix = "picture" + std::to_string(++sPictures) + "-";
    return "<svg viewBox=\"" + EscapeHtml(viewBox) + "\" role=\"img\" aria-label=\"" +
           EscapeHtml(description) + "\">" + WithIdsPrefixed(svgFile.substr(end + 1), prefix);
}

std::string DrawInlineSvg(
    const std::function<void(const std::string&, PictureFormat, PictureSize)>& draw,
    PictureSize size, const std::string& description) {
    const std::string path = ScratchSvgPath();
    struct Remover {
        const std::string& path;
        ~Remover() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } remover{path};
    draw(path, PictureFormat::kSvg, size);
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file)
        throw PlotError("cannot read the picture back from " + path);
    return InlineSvg(text.str(), description);
}

void WritePageFile(const std::string& path, const std::string& page) {
    const std::string scratch = ScratchPathFor(path);
    std::ofstream file(scratch, std::ios::binary);
    file << page;
    std::error_code error;
    if (file.flush()) {
        file.close();
        std::filesystem::rename(scratch, path, error);
        if (!error)
            return;
    }
    std::filesystem::remove(scratch, error);
    throw std::runtime_error("cannot write " + path);
}

std::string ErrorParagraph(const std::string& message) {
    return "<p class=\"error\">" + EscapeHtml(message) + "</p>\n";
}

}  // namespace xrayutils
