// PlotSession: one picture drawn with PLplot, from opening its file to moving it into place.
//
// PLplot keeps global state and by default ends the process on an internal error. A session
// makes a stream of its own and installs PLplot's exit and abort handlers for its lifetime:
// an error that would end the process is thrown at once as PlotError, and an operation
// PLplot abandons is remembered and thrown as PlotError by the next Check() (the drawing code
// checks after every step, and Finish checks last). The destructor ends the stream whatever
// happened, so the next picture in the same process starts from a clean PLplot.
//
// The picture is drawn into a scratch file beside its path and moved onto the path by
// Finish(); a session destroyed without a successful Finish removes the scratch file, so a
// failed picture leaves nothing behind and never half-overwrites an older one.
//
// One session at a time in a process (PLplot's handlers are global): making a second while
// one is open throws std::logic_error. Not for concurrent use from several threads.
#ifndef XRAY_CLI_PLOTSESSION_H
#define XRAY_CLI_PLOTSESSION_H

#include <optional>
#include <stdexcept>
#include <string>

namespace xrayutils {

// PLplot refused an operation or could not write the picture; the message says which.
class PlotError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class PictureFormat { kSvg, kPng, kPdf };

// The format the extension of `path` names (.svg, .png, .pdf in any case), or none.
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

// The picture's size in pixels (PNG and SVG) or points (PDF, 1/72 inch).
struct PictureSize {
    int width = 1000;
    int height = 750;
};

constexpr int kSmallestPictureSide = 200;
constexpr int kLargestPictureSide = 10000;

// "WxH" (also "WXH"), each side a whole number from kSmallestPictureSide to
// kLargestPictureSide. Throws std::invalid_argument with a message saying what is wrong.
PictureSize ParsePictureSize(const std::string& text);

// A text as PLplot must be given it: its escape character '#' doubled, bytes that do not
// form UTF-8 read as Latin-1, control characters left out.
std::string PlotText(const std::string& text);

// A scratch file's path beside `path` ("path.part-" and eight random hex digits), for a file
// that is written whole and then moved onto `path`.
std::string ScratchPathFor(const std::string& path);

// The same as PlotText without the escaping: valid UTF-8 without control characters, for
// texts from files that go anywhere text must be well formed (HTML, SVG).
std::string CleanText(const std::string& text);

class PlotSession {
  public:
    // Opens the picture. Throws PlotError when the format's PLplot driver is not installed or
    // the scratch file beside `path` cannot be made (the folder does not exist, ...).
    PlotSession(const std::string& path, PictureFormat format, PictureSize size);
    ~PlotSession();
    PlotSession(const PlotSession&) = delete;
    PlotSession& operator=(const PlotSession&) = delete;

    // Throws PlotError with PLplot's message when an operation was abandoned since the
    // session opened; the first message counts.
    void Check() const;

    // Ends the picture and moves it onto the path. Throws PlotError as Check does, or when
    // the file cannot be moved into place. REQUIRES: called at most once.
    void Finish();

    PictureSize Size() const { return fSize; }

    // Millimetres per unit of PLplot's normalised device coordinates, across and up.
    double PageWidthMm() const;
    double PageHeightMm() const;

  private:
    void Close();
    static void OnAbort(const char* message);
    static int OnExit(const char* message);

    std::string fPath;
    std::string fScratch;
    PictureSize fSize;
    int fStream = -1;
    bool fEnded = false;
    bool fFinished = false;
    std::string fError;
    int fErrorCode = 0;
    char fErrorText[2048] = {};  // PLplot writes an abandoned operation's text here

    static PlotSession* sOpen;
};

}  // namespace xrayutils

#endif  // XRAY_CLI_PLOTSESSION_H
