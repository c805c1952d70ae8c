#include "port/Platform.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <streambuf>
#include <system_error>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <share.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;
#endif

namespace {

#ifdef _WIN32

// A read-only stream buffer over a C file opened with _fsopen, which is the run-time's
// only way to open a file in text mode with explicit sharing. Owns the FILE and closes it.
// Seeking supports what readers need to learn a file's size: to the start, to the end,
// and asking the position while nothing is buffered.
class SharedFileBuf : public std::streambuf {
  public:
    explicit SharedFileBuf(std::FILE* file) : fFile(file) { setg(fBuffer, fBuffer, fBuffer); }
    ~SharedFileBuf() override { std::fclose(fFile); }
    SharedFileBuf(const SharedFileBuf&) = delete;
    SharedFileBuf& operator=(const SharedFileBuf&) = delete;

  protected:
    int_type underflow() override {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        const size_t n = std::fread(fBuffer, 1, sizeof fBuffer, fFile);
        if (n == 0)
            return traits_type::eof();
        setg(fBuffer, fBuffer, fBuffer + n);
        return traits_type::to_int_type(*gptr());
    }

    std::streamsize xsgetn(char* out, std::streamsize count) override {
        const std::streamsize buffered = std::min<std::streamsize>(egptr() - gptr(), count);
        std::copy_n(gptr(), buffered, out);
        gbump(static_cast<int>(buffered));
        if (buffered == count)
            return count;
        const size_t direct =
            std::fread(out + buffered, 1, static_cast<size_t>(count - buffered), fFile);
        return buffered + static_cast<std::streamsize>(direct);
    }

    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        const pos_type failed(off_type(-1));
        if (dir == std::ios_base::cur) {
            if (off != 0 || gptr() != egptr())
                return failed;
            return pos_type(_ftelli64(fFile));
        }
        const int whence = dir == std::ios_base::beg ? SEEK_SET : SEEK_END;
        if (_fseeki64(fFile, off, whence) != 0)
            return failed;
        setg(fBuffer, fBuffer, fBuffer);
        return pos_type(_ftelli64(fFile));
    }

    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

  private:
    std::FILE* fFile;
    char fBuffer[1 << 16];
};

class SharedFileStream : public std::istream {
  public:
    explicit SharedFileStream(std::FILE* file) : std::istream(nullptr), fBuf(file) { rdbuf(&fBuf); }

  private:
    SharedFileBuf fBuf;
};

#else

// Children started by ShellOpen that have not been reaped yet. Each call reaps those that
// have finished, so no zombie outlives the next call; the module starts no thread and
// installs no signal handler to do it sooner.
std::vector<pid_t>& ShellChildren() {
    static std::vector<pid_t> children;
    return children;
}

void ReapFinishedShellChildren() {
    std::vector<pid_t>& children = ShellChildren();
    const auto finished = [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; };
    children.erase(std::remove_if(children.begin(), children.end(), finished), children.end());
}

#endif

}  // namespace

namespace xray::port {

std::unique_ptr<std::istream> OpenSharedTextFile(const std::string& path) {
#ifdef _WIN32
    std::FILE* file = _fsopen(path.c_str(), "r", _SH_DENYNO);
    if (file == nullptr)
        return nullptr;
    return std::make_unique<SharedFileStream>(file);
#else
    // Only a regular file (or a link to one) is opened. A directory opens as a stream here
    // but can never be read (on Windows it fails to open); opening a named pipe blocks until
    // someone writes to it; a device such as /dev/zero never ends, and reading it whole
    // would exhaust memory.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    auto stream = std::make_unique<std::ifstream>(path, std::ios_base::in);
    if (!stream->is_open())
        return nullptr;
    return stream;
#endif
}

std::tm LocalTime(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    if (localtime_s(&result, &when) != 0)
        result = std::tm{};
#else
    if (localtime_r(&when, &result) == nullptr)
        result = std::tm{};
#endif
    return result;
}

std::tm UniversalTime(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    if (gmtime_s(&result, &when) != 0)
        result = std::tm{};
#else
    if (gmtime_r(&when, &result) == nullptr)
        result = std::tm{};
#endif
    return result;
}

void ShellOpen(const std::string& text) {
#ifdef _WIN32
    ShellExecuteA(nullptr, nullptr, text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
#else
    ReapFinishedShellChildren();
    std::string program = "xdg-open";
    std::string argument = text;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) == 0) {
        ShellChildren().push_back(child);
    }
#endif
}

}  // namespace xray::port
