#include "MonitorRecorder.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

MonitorRecorder::MonitorRecorder(const std::string& source, int sampleRate, int channels, int latencyMs)
    : m_rate(sampleRate)
    , m_channels(channels)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    std::vector<std::string> args = {"parec",
                                     "--device=" + source,
                                     "--format=float32le",
                                     "--rate=" + std::to_string(sampleRate),
                                     "--channels=" + std::to_string(channels),
                                     "--latency-msec=" + std::to_string(latencyMs),
                                     "--raw"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const int rc = posix_spawnp(&m_pid, "parec", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw std::runtime_error(std::string("cannot start parec: ") + std::strerror(rc));
    }
    m_fd = fds[0];
    m_started = Clock::now();
    m_reader = std::thread([this] { ReadLoop(); });
}

MonitorRecorder::~MonitorRecorder() { Stop(); }

void MonitorRecorder::Stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join(); // ends at the pipe's end of file
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::int64_t MonitorRecorder::FramesSoFar() const { return m_frames; }

void MonitorRecorder::ReadLoop()
{
    const std::size_t frameBytes = sizeof(float) * static_cast<std::size_t>(m_channels);
    std::vector<char> pending; // bytes of a frame cut by a read
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        const auto arrival = Clock::now();
        pending.insert(pending.end(), buffer.begin(), buffer.begin() + got);
        const std::size_t whole = pending.size() / frameBytes * frameBytes;
        const std::size_t oldSize = m_samples.size();
        m_samples.resize(oldSize + whole / sizeof(float));
        std::memcpy(m_samples.data() + oldSize, pending.data(), whole);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(whole));
        const std::int64_t frames = static_cast<std::int64_t>(m_samples.size()) / m_channels;
        // parec hands a large piece over through the pipe in several reads
        // in a row: they are one piece, available from the first read on.
        if (!m_pieces.empty() && arrival - m_lastRead < std::chrono::milliseconds(2))
            m_pieces.back().endFrame = frames;
        else
            m_pieces.push_back({arrival, frames});
        m_lastRead = Clock::now();
        m_frames = frames;
    }
}

std::vector<double> MonitorRecorder::ImpliedOrigins() const
{
    std::vector<double> origins;
    std::int64_t startFrame = 0; // the piece's first frame
    for (const Piece& piece : m_pieces) {
        const double arrival = std::chrono::duration<double>(piece.arrival - m_started).count();
        origins.push_back(arrival - static_cast<double>(startFrame) / m_rate);
        startFrame = piece.endFrame;
    }
    return origins;
}

MonitorRecorder::Clock::time_point MonitorRecorder::Origin() const
{
    // Implied origins counted in 1 ms bins; the fullest bin and its two
    // neighbours give the origin, as the mean of the origins in them.
    std::map<long long, std::vector<double>> bins;
    for (double origin : ImpliedOrigins())
        bins[std::llround(origin * 1000.0)].push_back(origin);
    long long best = 0;
    std::size_t bestCount = 0;
    auto around = [&](long long bin) {
        std::size_t count = 0;
        for (long long b = bin - 1; b <= bin + 1; ++b)
            if (auto it = bins.find(b); it != bins.end())
                count += it->second.size();
        return count;
    };
    for (const auto& [bin, origins] : bins)
        if (const std::size_t count = around(bin); count > bestCount) {
            best = bin;
            bestCount = count;
        }
    double sum = 0;
    for (long long b = best - 1; b <= best + 1; ++b)
        if (auto it = bins.find(b); it != bins.end())
            for (double origin : it->second)
                sum += origin;
    const double origin = bestCount > 0 ? sum / double(bestCount) : 0.0;
    return m_started + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(origin));
}
