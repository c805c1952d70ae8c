// The whole import as a script calls it: the bytes are written to a file, Zor_EMSAtoDM runs
// in process against the stand-in host, and the script sees either a new one-dimensional
// image or an error message. Afterwards nothing of the host's may be left held or locked.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "plugin/ScriptFunctions.h"
#include "plugin/ScriptWork.h"
#include "tests/fuzz/FuzzHost.h"

namespace {

// The file each input is written to, one per process, removed when the process ends.
class InputFile {
  public:
    InputFile() : fPath("/tmp/xray_fuzz_import_" + std::to_string(getpid()) + ".msa") {}
    ~InputFile() { std::remove(fPath.c_str()); }
    const std::string& path() const { return fPath; }

  private:
    std::string fPath;
};

const std::string& InputPath() {
    static const InputFile file;
    return file.path();
}

void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzHost& fuzzHost = fuzz::FuzzHost::Get();
    dmhost::StandInHost& host = fuzzHost.host();
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    {
        dmhost::ObjectRef path = host.MakeString(InputPath());
        dmhost::ObjectRef image(host, Gatan::PlugIn::Zor_EMSAtoDM<ImportEMSASpectrum>(path.get()));
        if (image && host.HasPendingException())
            Fail("an image and an error from the same call");
        if (!image && !host.HasPendingException())
            Fail("neither an image nor an error");
        if (host.HasPendingException() && host.PendingExceptionMessage().empty())
            Fail("an error without a message");
        if (image) {
            const dmhost::ImageSnapshot snapshot = host.ReadImage(image.get());
            if (snapshot.dimensions.size() != 1 || snapshot.lockCount != 0)
                Fail("the image is not a one-dimensional, unlocked spectrum");
        }
    }
    fuzzHost.ExpectNothingHeld("Zor_EMSAtoDM");
    fuzzHost.Reset();
    return 0;
}
