// BoundedRun: runs a piece of work in a child process with a time and memory bound and
// hands its text answer back to the test.
//
// The child is a fork of the test process (module, host and all), so the work sees the
// same state. It is killed when it runs longer than the time bound; its address space may
// grow by at most the memory bound, beyond which allocations fail (in sanitizer builds,
// whose shadow memory cannot live under such a limit, only the time bound applies and it
// is ten times longer). Nothing here throws; a child that dies is described in `failure`.
#ifndef XRAY_TESTS_HOSTILE_BOUNDEDRUN_H
#define XRAY_TESTS_HOSTILE_BOUNDEDRUN_H

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace hostiletest {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr unsigned kSecondsBound = kSanitized ? 10 : 1;
constexpr rlim_t kMemoryBound = rlim_t{100} << 20;

struct BoundedAnswer {
    std::string text;     // what the work returned
    std::string failure;  // empty when the child finished in bounds
};

namespace detail {

// The address space the process has mapped now, in bytes.
inline rlim_t MappedBytes() {
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

[[noreturn]] inline void RunChild(int out, const std::function<std::string()>& work) {
    if (!kSanitized) {
        const rlimit limit{MappedBytes() + kMemoryBound, RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
    }
    alarm(kSecondsBound);
    const std::string text = work();
    for (size_t written = 0; written < text.size();) {
        const ssize_t n = write(out, text.data() + written, text.size() - written);
        if (n <= 0)
            _exit(3);
        written += static_cast<size_t>(n);
    }
    _exit(0);
}

inline std::string Describe(int status) {
    if (WIFSIGNALED(status)) {
        return WTERMSIG(status) == SIGALRM
                   ? "took longer than " + std::to_string(kSecondsBound) + " s"
                   : "died of signal " + std::to_string(WTERMSIG(status));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "";
}

}  // namespace detail

inline BoundedAnswer RunBounded(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {"", "no pipe"};
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        detail::RunChild(pipeEnds[1], work);
    }
    close(pipeEnds[1]);
    BoundedAnswer answer;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        answer.text.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return {"", "no child process"};
    answer.failure = detail::Describe(status);
    return answer;
}

}  // namespace hostiletest

#endif  // XRAY_TESTS_HOSTILE_BOUNDEDRUN_H
