#include "cli/PictureOptions.h"

#include <CLI/CLI.hpp>

#include <stdexcept>

#include "cli/Command.h"

namespace xrayutils {

void DeclarePictureOptions(CLI::App& command, PictureOptions& options, PictureSize defaultSize) {
    options.defaultSize = defaultSize;
    command.add_option("-o,--output", options.output, "the picture to write: .svg, .png or .pdf")
        ->type_name("OUT")
        ->required();
    command
        .add_option("--size", options.size,
                    "width and height in pixels (points for PDF), default " +
                        std::to_string(defaultSize.width) + "x" +
                        std::to_string(defaultSize.height))
        ->type_name("WxH");
}

PictureRequest CheckPictureOptions(const PictureOptions& options) {
    PictureRequest request;
    request.path = options.output;
    const std::optional<PictureFormat> format = PictureFormatOf(options.output);
    if (!format)
        throw UsageError("the picture's name must end in .svg, .png or .pdf: " + options.output);
    request.format = *format;
    try {
        request.size = options.size.empty() ? options.defaultSize : ParsePictureSize(options.size);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    return request;
}

}  // namespace xrayutils
