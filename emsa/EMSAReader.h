// EMSAReader: reads an EMSA/MAS spectrum file (ISO 22029) into an EMSASpectrum.
//
// A file is read in blocks as it is parsed (SpectrumSource over a LineReader), so the
// reader holds about one block of text besides the channel array, whatever the file's
// size; a text already in memory is parsed in place. Lines may end in LF, CR LF or a lone
// CR.
//
// Header lines (up to and including the first SPECTRUM line) are cut by SplitHeaderLine
// and handed to the keyword table. The data section is read by counting: exactly npoints
// values, in one of three layouts chosen from the header (x,y pairs; one value per line;
// ncolumns values per line). A line that yields no number gives its channel the previous
// channel's value; once the data runs out, every further channel repeats the last line.
//
// Failures: OpenSpectrumFile returns nothing when the file cannot be opened, so the caller
// can report that case itself. Every other failure throws SpectrumFileError (a
// std::runtime_error) whose message names the file: a file that cannot be read, a file
// without a SPECTRUM line (not an EMSA/MAS spectrum), or a channel count that is negative
// or above kMaxChannels. Unknown keywords and unreadable values are ignored, as the
// keyword table says. The reader shares nothing and may run on any thread.
#ifndef XRAY_EMSA_EMSAREADER_H
#define XRAY_EMSA_EMSAREADER_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "emsa/EMSASpectrum.h"
#include "emsa/LineReader.h"

namespace xray {

class SpectrumFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The largest channel count accepted (2^20), 64 times any detector's. Missing data lines
// repeat the last one, so a damaged NPOINTS alone sets what the import allocates: 8 bytes
// a channel for the host image it reads them into (converted in place), here at most
// about 8.4 MB, and as much again for a caller that reads into the record's channels.
constexpr int32_t kMaxChannels = 1048576;

// The complete text of one spectrum file held in memory, and the name used in messages.
struct SpectrumText {
    std::string name;
    std::string text;
};

// One spectrum file being read: its name for messages and its lines. Made from an open
// stream, which it owns and reads in blocks of `blockSize` characters, or from a
// SpectrumText, which it borrows (the text must outlive it). Movable, not copyable.
class SpectrumSource {
  public:
    explicit SpectrumSource(const SpectrumText& file);
    SpectrumSource(std::string name, std::unique_ptr<std::istream> in,
                   size_t blockSize = LineReader::kBlockSize);

    const std::string& name() const { return fName; }
    LineReader& lines() { return fLines; }

  private:
    std::string fName;
    std::unique_ptr<std::istream> fIn;
    LineReader fLines;
};

// One header line cut into its parts: keyword upper-cased, unit as written.
struct HeaderLine {
    std::string keyword;
    std::string unit;
    std::string value;
};

// Opens `path` for shared reading in text mode. Returns nothing when the file cannot be
// opened; reading it later throws SpectrumFileError when it cannot be read.
std::optional<SpectrumSource> OpenSpectrumFile(const std::string& path);

// Reads the header from the start of the source into `spectrum`, then derives the window
// type and normalises the energy unit. Leaves the source at the first data line. Throws
// SpectrumFileError when there is no SPECTRUM line, and then for a negative npoints or
// one above kMaxChannels.
void ReadHeader(SpectrumSource& source, EMSASpectrum& spectrum);

// Standard layout: "#KEYWORD-unit: value" with the colon in column 14 and the value from
// column 16. When the first colon is elsewhere (compact layout, "#NPOINTS : 21."), the
// keyword field ends at the colon and the value follows it, less one blank. Leading '#'
// characters are dropped; keyword and unit end at their first blank or tab.
HeaderLine SplitHeaderLine(std::string_view line);

// Sizes `channels` to npoints and fills it from the data lines, where ReadHeader left the
// source. Throws SpectrumFileError for a negative npoints or one above kMaxChannels.
void ReadChannels(SpectrumSource& source, EMSASpectrum& spectrum);

// The same into the caller's `channels`, which must have room for the header's npoints
// values (the import reads them straight into a host image this way, so the values are
// written once). REQUIRES: npoints checked by ReadHeader.
void ReadChannels(SpectrumSource& source, const EMSASpectrum& header, double* channels);

// The three layouts, chosen by ReadChannels from the header.
void ReadXYData(SpectrumSource& source, const EMSASpectrum& header, double* channels);
void ReadYData(SpectrumSource& source, const EMSASpectrum& header, double* channels);
void ReadMultiColumnData(SpectrumSource& source, const EMSASpectrum& header, double* channels);

// Header and channels of a source, read from its start.
EMSASpectrum ReadSpectrum(SpectrumSource& source);
// Header and channels of a text already in memory (tests, fuzzers, other sources).
EMSASpectrum ReadSpectrum(const SpectrumText& file);

// Header and channels of the file at `path`, for callers without a Results window: a file
// that cannot be opened throws SpectrumFileError too ("Could not open the spectrum file
// \"<path>\".").
EMSASpectrum ReadSpectrumFile(const std::string& path);

}  // namespace xray

#endif  // XRAY_EMSA_EMSAREADER_H
