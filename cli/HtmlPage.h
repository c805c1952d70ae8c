// HtmlPage: the pieces of the program's self-contained HTML pages.
//
// A page holds everything it shows: styles in its head, pictures as inline SVG, no script,
// no font, image or style sheet fetched from anywhere, so it opens offline, travels as one
// e-mail attachment and prints on A4. Every text that comes from a file or a user (titles,
// names, notes, messages) goes through EscapeHtml, and only through it.
#ifndef XRAY_CLI_HTMLPAGE_H
#define XRAY_CLI_HTMLPAGE_H

#include <functional>
#include <string>

#include "cli/PlotSession.h"

namespace xrayutils {

// `text` as HTML text or attribute value: CleanText (valid UTF-8, no control characters),
// then &, <, >, " and ' written as character references.
std::string EscapeHtml(const std::string& text);

// The start of a page: doctype, head with title and styles, the opening of the body.
std::string PageStart(const std::string& title);
std::string PageEnd();

// The <svg> element of a PLplot SVG file, fit to sit in a page: the XML declaration and
// doctype left out, the namespace declarations left to the HTML parser, scaled to the width
// of its container, described by `description` for readers that cannot see it. Throws
// PlotError when the text holds no <svg> element.
std::string InlineSvg(const std::string& svgFile, const std::string& description);

// Draws a picture as SVG into a scratch file with `draw(path, format, size)` and returns it
// as InlineSvg; the scratch file is removed whatever happens. Exceptions of `draw` pass.
std::string DrawInlineSvg(
    const std::function<void(const std::string&, PictureFormat, PictureSize)>& draw,
    PictureSize size, const std::string& description);

// Writes `page` to `path` through a scratch file beside it, so an interrupted write leaves
// any older page whole. Throws std::runtime_error naming the path when it cannot.
void WritePageFile(const std::string& path, const std::string& page);

// <p class="error">message</p>, escaped.
std::string ErrorParagraph(const std::string& message);

}  // namespace xrayutils

#endif  // XRAY_CLI_HTMLPAGE_H
