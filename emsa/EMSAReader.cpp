#include "emsa/EMSAReader.h"

#include <cctype>
#include <ios>
#include <istream>
#include <memory>
#include <string>
#include <utility>

#include "emsa/NumberScanner.h"
#include "port/Platform.h"

namespace xray {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view CutAtBlank(std::string_view text) {
    size_t end = 0;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    return text.substr(0, end);
}

// The standard layout puts the colon in column 14 and the value from column 16.
constexpr size_t kStandardColon = 13;
constexpr size_t kStandardValue = 15;

// Keyword field and value of a header line, by columns or around the first colon.
std::pair<std::string_view, std::string_view> FieldAndValue(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == kStandardColon) {
        const std::string_view field = line.size() > 1 ? line.substr(1, 12) : std::string_view();
        const std::string_view value =
            line.size() > kStandardValue ? line.substr(kStandardValue) : std::string_view();
        return {field, value};
    }
    const std::string_view field = colon > 0 ? line.substr(1, colon - 1) : std::string_view();
    std::string_view value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    return {field, value};
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

void CheckChannelCount(const SpectrumSource& source, int32_t npoints) {
    if (npoints < 0) {
        throw SpectrumFileError("The spectrum file " + Quoted(source.name()) +
                                " gives a negative number of channels (NPOINTS " +
                                std::to_string(npoints) + ").");
    }
    if (npoints > kMaxChannels) {
        throw SpectrumFileError("The spectrum file " + Quoted(source.name()) + " gives " +
                                std::to_string(npoints) + " channels (NPOINTS); at most " +
                                std::to_string(kMaxChannels) + " can be read.");
    }
}

// What a file that fails while it is read gives.
[[noreturn]] void ThrowUnreadable(const SpectrumSource& source) {
    throw SpectrumFileError("Could not read the spectrum file " + Quoted(source.name()) + ".");
}

// Data lines as the readers see them: once the text is exhausted, the last line is
// handed out again, so the remaining channels repeat its values. Reading a repeated line
// again gives the same values, so a reader fills the rest of the channels from the first
// repetition instead of scanning the same line for every channel (a long last line and a
// large NPOINTS would otherwise cost their product).
class DataLines {
  public:
    explicit DataLines(LineReader& reader) : fReader(reader) {}
    std::string_view Next() {
        fRepeating = !fReader.Next(fLine);
        return fLine;
    }
    // The line last handed out was the last line again: the data has run out.
    bool Repeating() const { return fRepeating; }

    // For a caller that consumed lines straight from the reader: the last one of them,
    // which the reader keeps valid until it hands out another.
    LineReader& reader() { return fReader; }
    void ConsumedUpTo(std::string_view lastLine) { fLine = lastLine; }

  private:
    LineReader& fReader;
    std::string_view fLine;
    bool fRepeating = false;
};

// Channels from `from` on repeat the `period` channels before them.
void RepeatChannels(double* channels, int32_t npoints, int32_t from, int32_t period) {
    for (int32_t i = from; i < npoints; ++i)
        channels[i] = channels[i - period];
}

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// White space a stream skips before a number, less the line breaks.
bool IsBlankWithinLine(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The last line break in [begin, end) that surely ends a line: a carriage return read last
// may be the first half of CR LF. Null when there is none.
const char* LastLineBreak(const char* begin, const char* end) {
    const char* p = end;
    if (p != begin && p[-1] == '\r')
        --p;
    while (p != begin) {
        if (IsLineBreak(*--p))
            return p;
    }
    return nullptr;
}

// One value per line, for the lines wholly read ahead: each line's number is scanned where
// it stands and only the rest of the line is searched for its end, so each character is
// looked at once. Every line that starts at or before the last line break read ends at or
// before it, and every scan stops at a line break, so these lines need no check for the end
// of what was read. A number never contains a line break, so scanning it this way gives
// what scanning it within its line gives, once the blanks before it stop at a line break.
// The lines after the last line break are left to DataLines. Returns the next channel.
int32_t ReadYLinesReadAhead(DataLines& lines, int32_t npoints, double* channels, int32_t channel,
                            double& y) {
    LineReader& reader = lines.reader();
    const char* p = reader.begin();
    const char* const end = reader.end();
    const char* const lastBreak = LastLineBreak(p, end);
    if (lastBreak == nullptr)
        return channel;
    const char* lastLine = nullptr;
    const char* lastLineEnd = nullptr;
    for (; channel < npoints && p <= lastBreak; ++channel) {
        const char* q = p;
        while (IsBlankWithinLine(*q))
            ++q;
        if (!IsLineBreak(*q))
            ScanDoubleBeforeLineBreak(q, end, y);  // a failed read leaves y as it was
        while (!IsLineBreak(*q))
            ++q;
        channels[channel] = y;
        lastLine = p;
        lastLineEnd = q;
        p = q + (*q == '\r' && q[1] == '\n' ? 2 : 1);
    }
    if (lastLine != nullptr) {
        reader.Skip(p);
        lines.ConsumedUpTo(std::string_view(lastLine, static_cast<size_t>(lastLineEnd - lastLine)));
    }
    return channel;
}

}  // namespace

SpectrumSource::SpectrumSource(const SpectrumText& file) : fName(file.name), fLines(file.text) {}

SpectrumSource::SpectrumSource(std::string name, std::unique_ptr<std::istream> in, size_t blockSize)
    : fName(std::move(name)), fIn(std::move(in)), fLines(*fIn, blockSize) {}

std::optional<SpectrumSource> OpenSpectrumFile(const std::string& path) {
    std::unique_ptr<std::istream> in = xray::port::OpenSharedTextFile(path);
    if (!in)
        return std::nullopt;
    return SpectrumSource(path, std::move(in));
}

EMSASpectrum ReadSpectrumFile(const std::string& path) {
    std::optional<SpectrumSource> file = OpenSpectrumFile(path);
    if (!file)
        throw SpectrumFileError("Could not open the spectrum file \"" + path + "\".");
    return ReadSpectrum(*file);
}

HeaderLine SplitHeaderLine(std::string_view line) {
    const auto [field, value] = FieldAndValue(line);
    const size_t hyphen = field.find('-');
    std::string_view keyword = field.substr(0, hyphen);
    const std::string_view unit =
        hyphen == std::string_view::npos ? std::string_view() : field.substr(hyphen + 1);
    while (!keyword.empty() && keyword.front() == '#')
        keyword.remove_prefix(1);
    return HeaderLine{UpperCase(CutAtBlank(keyword)), std::string(CutAtBlank(unit)),
                      std::string(value)};
}

void ReadHeader(SpectrumSource& source, EMSASpectrum& spectrum) try {
    std::string_view line;
    while (source.lines().Next(line)) {
        if (line.empty())
            continue;
        const HeaderLine h = SplitHeaderLine(line);
        if (h.keyword == "SPECTRUM") {
            DeriveWindowType(spectrum);
            NormaliseEnergyUnits(spectrum);
            CheckChannelCount(source, spectrum.npoints);
            return;
        }
        ApplyHeaderLine(spectrum, h.keyword, h.unit, h.value);
    }
    throw SpectrumFileError("The file " + Quoted(source.name()) +
                            " is not an EMSA/MAS spectrum: no #SPECTRUM line announces the "
                            "channel data.");
} catch (const std::ios_base::failure&) {
    ThrowUnreadable(source);
}

void ReadChannels(SpectrumSource& source, EMSASpectrum& spectrum) {
    CheckChannelCount(source, spectrum.npoints);
    if (spectrum.channels.count() != spectrum.npoints)
        spectrum.channels.resize(spectrum.npoints);
    ReadChannels(source, spectrum, spectrum.channels.data());
}

void ReadChannels(SpectrumSource& source, const EMSASpectrum& header, double* channels) try {
    if (header.xy) {
        ReadXYData(source, header, channels);
    } else if (header.ncolumns <= 1) {
        ReadYData(source, header, channels);
    } else {
        ReadMultiColumnData(source, header, channels);
    }
} catch (const std::ios_base::failure&) {
    ThrowUnreadable(source);
}

// The number variables live for the whole call and start at 0, so channel 0 without a
// number is 0 and every later channel without one repeats the one before it.
void ReadXYData(SpectrumSource& source, const EMSASpectrum& header, double* channels) {
    DataLines lines(source.lines());
    double x = 0.0;
    double y = 0.0;
    for (int32_t i = 0; i < header.npoints; ++i) {
        LineScanner scan(lines.Next());
        scan.Number(x);
        scan.SkipSeparator();
        scan.Number(y);
        channels[i] = y;
        if (lines.Repeating())
            return RepeatChannels(channels, header.npoints, i + 1, 1);
    }
}

// Most lines are taken straight from what the reader read ahead; DataLines reads the
// ones that cross the end of a block and those after the end of the text.
void ReadYData(SpectrumSource& source, const EMSASpectrum& header, double* channels) {
    DataLines lines(source.lines());
    double y = 0.0;
    int32_t i = 0;
    while (i < header.npoints) {
        i = ReadYLinesReadAhead(lines, header.npoints, channels, i, y);
        if (i == header.npoints)
            return;
        LineScanner(lines.Next()).Number(y);
        channels[i++] = y;
        if (lines.Repeating())
            return RepeatChannels(channels, header.npoints, i, 1);
    }
}

// Full rows of ncolumns values, then one more line for the remainder (always read, even
// when the remainder is empty).
void ReadMultiColumnData(SpectrumSource& source, const EMSASpectrum& header, double* channels) {
    DataLines lines(source.lines());
    const int32_t columns = header.ncolumns;
    const int32_t rows = header.npoints / columns;
    const int32_t rest = header.npoints % columns;
    double y = 0.0;
    int32_t channel = 0;
    for (int32_t r = 0; r <= rows; ++r) {
        LineScanner scan(lines.Next());
        const int32_t count = r < rows ? columns : rest;
        for (int32_t c = 0; c < count; ++c) {
            scan.Number(y);
            scan.SkipSeparator();
            channels[channel++] = y;
        }
        if (lines.Repeating() && r < rows)  // every further row reads the same values
            return RepeatChannels(channels, header.npoints, channel, columns);
    }
}

EMSASpectrum ReadSpectrum(SpectrumSource& source) {
    EMSASpectrum spectrum;
    ReadHeader(source, spectrum);
    ReadChannels(source, spectrum);
    return spectrum;
}

EMSASpectrum ReadSpectrum(const SpectrumText& file) {
    SpectrumSource source(file);
    return ReadSpectrum(source);
}

}  // namespace xray
