#include "Console.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARNWICK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define TARNWICK_SANITIZED 1
#endif
#endif
#ifdef TARNWICK_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace cli {
namespace {

std::FILE* g_messages = nullptr;

} // namespace

std::FILE* Messages()
{
    return g_messages ? g_messages : stderr;
}

void QuietLibraries()
{
    if (g_messages)
        return;
    const int ours = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (ours < 0)
        return;
    std::FILE* messages = ::fdopen(ours, "w");
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (!messages || nowhere < 0 || ::dup2(nowhere, 2) < 0) {
        if (messages)
            std::fclose(messages);
        else
            ::close(ours);
        if (nowhere >= 0)
            ::close(nowhere);
        return;
    }
    ::close(nowhere);
    std::setvbuf(messages, nullptr, _IONBF, 0);
    g_messages = messages;
#ifdef TARNWICK_SANITIZED
    // A sanitizer's reports go where ours go.
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(ours)));
#endif
}

bool FinishStandardOutput(std::string* reason)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const int error = errno;
    *reason = "cannot write to standard output" + (error != 0 ? ": " + std::string(std::strerror(error)) : std::string());
    std::clearerr(stdout); // told once
    return false;
}

} // namespace cli
