#include "cli/PlotSession.h"

#include <plplot.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "cli/PlotStyle.h"

namespace xrayutils {

PlotSession* PlotSession::sOpen = nullptr;

namespace {

const char* DeviceOf(PictureFormat format) {
    switch (format) {
        case PictureFormat::kSvg:
            return "svg";
        case PictureFormat::kPng:
            return "pngcairo";
        case PictureFormat::kPdf:
            return "pdfcairo";
    }
    return "";
}

// PLplot asks on the terminal for a device it does not know, so ask it first.
bool DeviceInstalled(const char* device) {
    const char* menu[256] = {};
    const char* names[256] = {};
    const char** menuList = menu;
    const char** nameList = names;
    int count = 256;
    plgDevs(&menuList, &nameList, &count);
    for (int k = 0; k < count && names[k] != nullptr; ++k)
        if (std::string(names[k]) == device)
            return true;
    return false;
}

// Appends the UTF-8 of a code point below 0x800.
void AppendTwoByte(std::string& out, unsigned code) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
}

// The length of the well-formed UTF-8 sequence at text[k] (1 to 4), or 0 when the bytes
// there do not form one (overlong forms and surrogates included).
size_t Utf8SequenceAt(const std::string& text, size_t k) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(k);
    size_t length = 0;
    unsigned lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (k + length > text.size())
        return 0;
    unsigned code = lead & (0x3F >> (length - 1));
    for (size_t i = 1; i < length; ++i) {
        if ((byte(k + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(k + i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < lowest || surrogate || code > 0x10FFFF ? 0 : length;
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".svg")
        return PictureFormat::kSvg;
    if (extension == ".png")
        return PictureFormat::kPng;
    if (extension == ".pdf")
        return PictureFormat::kPdf;
    return std::nullopt;
}

std::string ScratchPathFor(const std::string& path) {
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".part-%08x", static_cast<unsigned>(random()));
    return path + suffix;
}

PictureSize ParsePictureSize(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    const auto side = [&](const std::string& digits) {
        if (digits.empty() || digits.size() > 6 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            throw std::invalid_argument("the size must be WIDTHxHEIGHT in whole pixels, not " +
                                        text);
        const int value = std::stoi(digits);
        if (value < kSmallestPictureSide || value > kLargestPictureSide)
            throw std::invalid_argument("each side of the size must be " +
                                        std::to_string(kSmallestPictureSide) + " to " +
                                        std::to_string(kLargestPictureSide) + ", not " + digits);
        return value;
    };
    if (x == std::string::npos)
        throw std::invalid_argument("the size must be WIDTHxHEIGHT in whole pixels, not " + text);
    return PictureSize{side(text.substr(0, x)), side(text.substr(x + 1))};
}

std::string CleanText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t k = 0; k < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (c < 0x80) {
            if (c >= 0x20 && c != 0x7F)
                out += static_cast<char>(c);
            ++k;
        } else if (const size_t length = Utf8SequenceAt(text, k)) {
            out.append(text, k, length);
            k += length;
        } else {
            if (c >= 0xA0)  // Latin-1's C1 controls, 0x80 to 0x9F, are left out
                AppendTwoByte(out, c);
            ++k;
        }
    }
    return out;
}

std::string PlotText(const std::string& text) {
    std::string out;
    for (const char c : CleanText(text)) {
        out += c;
        if (c == '#')
            out += '#';
    }
    return out;
}

PlotSession::PlotSession(const std::string& path, PictureFormat format, PictureSize size)
    : fPath(path), fScratch(ScratchPathFor(path)), fSize(size) {
    if (sOpen != nullptr)
        throw std::logic_error("a PLplot picture is already open");
    const char* device = DeviceOf(format);
    if (!DeviceInstalled(device))
        throw PlotError(std::string("the PLplot driver ") + device +
                        " is not installed (Debian: plplot-driver-cairo)");
    if (!std::ofstream(fScratch, std::ios::binary))
        throw PlotError("cannot write " + path);
    sOpen = this;
    try {
        plsexit(OnExit);
        plsabort(OnAbort);
        PLINT stream = 0;
        plmkstrm(&stream);
        fStream = stream;
        plsError(&fErrorCode, fErrorText);
        plsdev(device);
        plsfnam(fScratch.c_str());
        plspage(0, 0, size.width, size.height, 0, 0);
        SetPlotColours();
        plinit();
        Check();
        pladv(0);
        SetTextHeight(*this);
        Check();
    } catch (...) {
        Close();
        throw;
    }
}

PlotSession::~PlotSession() {
    Close();
}

void PlotSession::Close() {
    if (!fEnded && fStream >= 0) {
        fEnded = true;
        try {
            plsstrm(fStream);
            plend1();
        } catch (const PlotError&) {
            // The picture is abandoned anyway; its scratch file goes below.
        }
    }
    if (sOpen == this) {
        plsexit(nullptr);
        plsabort(nullptr);
        sOpen = nullptr;
    }
    if (!fFinished) {
        std::error_code ignored;
        std::filesystem::remove(fScratch, ignored);
    }
}

void PlotSession::OnAbort(const char* message) {
    if (sOpen != nullptr && sOpen->fError.empty())
        sOpen->fError = message != nullptr && *message != '\0' ? message : "PLplot failed";
}

// PLplot ends the process once this returns, so it never returns: the exception leaves
// through PLplot's frames, which carry unwind tables on every platform the pictures build on.
int PlotSession::OnExit(const char* message) {
    throw PlotError(std::string("PLplot: ") +
                    (message != nullptr && *message != '\0' ? message : "failed"));
}

void PlotSession::Check() const {
    if (!fError.empty())
        throw PlotError("PLplot: " + fError);
}

void PlotSession::Finish() {
    Check();
    fEnded = true;
    plsstrm(fStream);
    plend1();
    Check();
    std::error_code error;
    std::filesystem::rename(fScratch, fPath, error);
    if (error)
        throw PlotError("cannot write " + fPath + ": " + error.message());
    fFinished = true;
}

double PlotSession::PageWidthMm() const {
    PLFLT xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    plgspa(&xmin, &xmax, &ymin, &ymax);
    return xmax - xmin;
}

double PlotSession::PageHeightMm() const {
    PLFLT xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    plgspa(&xmin, &xmax, &ymin, &ymax);
    return ymax - ymin;
}

}  // namespace xrayutils
