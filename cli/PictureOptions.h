// PictureOptions: the options every picture-writing command shares, `-o OUT` (the format
// follows its extension: .svg, .png, .pdf) and `--size WxH`, and their check.
#ifndef XRAY_CLI_PICTUREOPTIONS_H
#define XRAY_CLI_PICTUREOPTIONS_H

#include <string>

#include "cli/PlotSession.h"

namespace CLI {
class App;
}

namespace xrayutils {

struct PictureOptions {
    std::string output;
    std::string size;  // as given; empty for the command's default
    PictureSize defaultSize;
};

struct PictureRequest {
    std::string path;
    PictureFormat format = PictureFormat::kSvg;
    PictureSize size;
};

// Declares -o/--output (required) and --size on `command`, bound to `options`.
void DeclarePictureOptions(CLI::App& command, PictureOptions& options, PictureSize defaultSize);

// The picture asked for. Throws UsageError for an extension that names no picture format or
// a size that is not WIDTHxHEIGHT within the limits.
PictureRequest CheckPictureOptions(const PictureOptions& options);

}  // namespace xrayutils

#endif  // XRAY_CLI_PICTUREOPTIONS_H
