#include "emsa/EMSAReader.h"

#include <cctype>
#include <istream>
#include <memory>
#include <string>

#include "emsa/LineCursor.h"
#include "emsa/NumberScanner.h"
#include "port/Platform.h"

namespace xray {

namespace {

// The stream's size when it can tell, so the text is allocated once (text mode may
// deliver fewer characters than this, never more); 0 when it cannot.
size_t SizeHint(std::istream& in) {
    in.seekg(0, std::ios_base::end);
    const std::streamoff size = in.tellg();
    in.clear();
    in.seekg(0, std::ios_base::beg);
    in.clear();
    return size > 0 ? static_cast<size_t>(size) : 0;
}

// Reads to the end of the stream. The first read normally takes the whole file, so the
// text is allocated once and never regrown (regrowing would briefly need twice the room).
std::string ReadWholeStream(std::istream& in, const std::string& path) {
    std::string text(SizeHint(in), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    size_t filled = static_cast<size_t>(in.gcount());
    constexpr size_t kChunk = 1 << 16;
    while (in.good() && in.peek() != std::char_traits<char>::eof()) {
        text.resize(filled + kChunk);
        in.read(text.data() + filled, kChunk);
        filled += static_cast<size_t>(in.gcount());
    }
    if (in.bad())
        throw SpectrumFileError("Could not read the spectrum file \"" + path + "\".");
    text.resize(filled);
    return text;
}

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

void CheckChannelCount(const SpectrumText& file, int32_t npoints) {
    if (npoints < 0) {
        throw SpectrumFileError("The spectrum file " + Quoted(file.name) +
                                " gives a negative number of channels (NPOINTS " +
                                std::to_string(npoints) + ").");
    }
    if (npoints > kMaxChannels) {
        throw SpectrumFileError("The spectrum file " + Quoted(file.name) + " gives " +
                                std::to_string(npoints) + " channels (NPOINTS); at most " +
                                std::to_string(kMaxChannels) + " can be read.");
    }
}

// Data lines as the readers see them: once the text is exhausted, the last line is
// handed out again, so the remaining channels repeat its values. Reading a repeated line
// again gives the same values, so a reader fills the rest of the channels from the first
// repetition instead of scanning the same line for every channel (a long last line and a
// large NPOINTS would otherwise cost their product).
class DataLines {
  public:
    DataLines(const SpectrumText& file, size_t start) : fCursor(file.text, start) {}
    std::string_view Next() {
        fRepeating = !fCursor.Next(fLine);
        return fLine;
    }
    // The line last handed out was the last line again: the data has run out.
    bool Repeating() const { return fRepeating; }

  private:
    LineCursor fCursor;
    std::string_view fLine;
    bool fRepeating = false;
};

// Channels from `from` on repeat the `period` channels before them.
void RepeatChannels(EMSASpectrum& spectrum, int32_t from, int32_t period) {
    for (int32_t i = from; i < spectrum.npoints; ++i)
        spectrum.channels[i] = spectrum.channels[i - period];
}

}  // namespace

std::optional<SpectrumText> OpenSpectrumFile(const std::string& path) {
    const std::unique_ptr<std::istream> in = xray::port::OpenSharedTextFile(path);
    if (!in)
        return std::nullopt;
    return SpectrumText{path, ReadWholeStream(*in, path)};
}

EMSASpectrum ReadSpectrumFile(const std::string& path) {
    const std::optional<SpectrumText> file = OpenSpectrumFile(path);
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

size_t ReadHeader(const SpectrumText& file, EMSASpectrum& spectrum) {
    LineCursor lines(file.text);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.empty())
            continue;
        const HeaderLine h = SplitHeaderLine(line);
        if (h.keyword == "SPECTRUM") {
            DeriveWindowType(spectrum);
            NormaliseEnergyUnits(spectrum);
            return lines.position();
        }
        ApplyHeaderLine(spectrum, h.keyword, h.unit, h.value);
    }
    throw SpectrumFileError("The file " + Quoted(file.name) +
                            " is not an EMSA/MAS spectrum: no #SPECTRUM line announces the "
                            "channel data.");
}

void ReadChannels(const SpectrumText& file, size_t dataStart, EMSASpectrum& spectrum) {
    CheckChannelCount(file, spectrum.npoints);
    if (spectrum.channels.count() != spectrum.npoints)
        spectrum.channels.resize(spectrum.npoints);
    if (spectrum.xy) {
        ReadXYData(file, dataStart, spectrum);
    } else if (spectrum.ncolumns <= 1) {
        ReadYData(file, dataStart, spectrum);
    } else {
        ReadMultiColumnData(file, dataStart, spectrum);
    }
}

// The number variables live for the whole call and start at 0, so channel 0 without a
// number is 0 and every later channel without one repeats the one before it.
void ReadXYData(const SpectrumText& file, size_t dataStart, EMSASpectrum& spectrum) {
    DataLines lines(file, dataStart);
    double x = 0.0;
    double y = 0.0;
    for (int32_t i = 0; i < spectrum.npoints; ++i) {
        LineScanner scan(lines.Next());
        scan.Number(x);
        scan.SkipSeparator();
        scan.Number(y);
        spectrum.channels[i] = y;
        if (lines.Repeating())
            return RepeatChannels(spectrum, i + 1, 1);
    }
}

void ReadYData(const SpectrumText& file, size_t dataStart, EMSASpectrum& spectrum) {
    DataLines lines(file, dataStart);
    double y = 0.0;
    for (int32_t i = 0; i < spectrum.npoints; ++i) {
        LineScanner(lines.Next()).Number(y);
        spectrum.channels[i] = y;
        if (lines.Repeating())
            return RepeatChannels(spectrum, i + 1, 1);
    }
}

// Full rows of ncolumns values, then one more line for the remainder (always read, even
// when the remainder is empty).
void ReadMultiColumnData(const SpectrumText& file, size_t dataStart, EMSASpectrum& spectrum) {
    DataLines lines(file, dataStart);
    const int32_t columns = spectrum.ncolumns;
    const int32_t rows = spectrum.npoints / columns;
    const int32_t rest = spectrum.npoints % columns;
    double y = 0.0;
    int32_t channel = 0;
    for (int32_t r = 0; r <= rows; ++r) {
        LineScanner scan(lines.Next());
        const int32_t count = r < rows ? columns : rest;
        for (int32_t c = 0; c < count; ++c) {
            scan.Number(y);
            scan.SkipSeparator();
            spectrum.channels[channel++] = y;
        }
        if (lines.Repeating() && r < rows)  // every further row reads the same values
            return RepeatChannels(spectrum, channel, columns);
    }
}

EMSASpectrum ReadSpectrum(const SpectrumText& file) {
    EMSASpectrum spectrum;
    const size_t dataStart = ReadHeader(file, spectrum);
    ReadChannels(file, dataStart, spectrum);
    return spectrum;
}

}  // namespace xray
