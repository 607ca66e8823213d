#include "media/decode/Mp3Reader.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

void Mp3Reader::HandleDeleter::operator()(mpg123_handle_struct* handle) const
{
    mpg123_close(handle);
    mpg123_delete(handle);
}

namespace {

constexpr std::size_t kReadBufferBytes = 128 * 1024;
constexpr const char* kTruncated = "the file was truncated while it was read";

const char* VersionText(int version)
{
    switch (version) {
    case MPG123_1_0:
        return "MPEG-1";
    case MPG123_2_0:
        return "MPEG-2";
    case MPG123_2_5:
        return "MPEG-2.5";
    default:
        return "MPEG";
    }
}

} // namespace

ssize_t Mp3Reader::BufferedFile::Read(void* self, void* out, std::size_t count)
{
    auto& file = *static_cast<BufferedFile*>(self);
    auto* to = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < count) {
        const off_t end = file.bufferStart + static_cast<off_t>(file.bufferFill);
        if (file.position >= file.bufferStart && file.position < end) {
            const std::size_t at = static_cast<std::size_t>(file.position - file.bufferStart);
            const std::size_t n = std::min(count - done, file.bufferFill - at);
            std::memcpy(to + done, file.buffer.data() + at, n);
            done += n;
            file.position += static_cast<off_t>(n);
            continue;
        }
        // A request at least as large as the buffer goes straight in.
        const bool direct = count - done >= file.buffer.size();
        unsigned char* into = direct ? to + done : file.buffer.data();
        const std::size_t size = direct ? count - done : file.buffer.size();
        const ssize_t got = ::pread(file.fd, into, size, file.position);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<ssize_t>(done) : -1;
        }
        if (got == 0)
            break; // end of file
        file.BlankJunk(into, file.position, static_cast<std::size_t>(got));
        if (direct) {
            done += static_cast<std::size_t>(got);
            file.position += got;
        } else {
            file.bufferStart = file.position;
            file.bufferFill = static_cast<std::size_t>(got);
        }
    }
    return static_cast<ssize_t>(done);
}

void Mp3Reader::BufferedFile::BlankJunk(unsigned char* data, off_t at, std::size_t count) const
{
    const std::int64_t end = at + static_cast<std::int64_t>(count);
    auto range = std::upper_bound(junk.begin(), junk.end(), std::int64_t(at),
                                  [](std::int64_t offset, const ByteRange& r) { return offset < r.end; });
    for (; range != junk.end() && range->begin < end; ++range) {
        const std::int64_t from = std::max<std::int64_t>(range->begin, at);
        const std::int64_t to = std::min(range->end, end);
        std::memset(data + (from - at), 0, static_cast<std::size_t>(to - from));
    }
}

off_t Mp3Reader::BufferedFile::Seek(void* self, off_t offset, int whence)
{
    auto& file = *static_cast<BufferedFile*>(self);
    off_t base = 0;
    if (whence == SEEK_CUR) {
        base = file.position;
    } else if (whence == SEEK_END) {
        struct stat info {};
        if (::fstat(file.fd, &info) != 0)
            return -1;
        base = info.st_size;
    } else if (whence != SEEK_SET) {
        errno = EINVAL;
        return -1;
    }
    if (offset < 0 && base < -offset) {
        errno = EINVAL;
        return -1;
    }
    file.position = base + offset; // the buffer stays: a seek back into it costs nothing
    return file.position;
}

std::unique_ptr<Mp3Reader> Mp3Reader::Open(const std::string& path, std::string* reason, Channels mix)
{
    static std::once_flag libraryReady;
    std::call_once(libraryReady, [] { mpg123_init(); });

    auto fail = [&](const std::string& why) -> std::unique_ptr<Mp3Reader> {
        if (reason)
            *reason = why;
        return nullptr;
    };

    std::unique_ptr<Mp3Reader> reader(new Mp3Reader);
    reader->m_path = path;
    long long size = 0;
    std::string why;
    reader->m_fd = OpenForReading(path, &why, &size);
    if (!reader->m_fd)
        return fail(why);
    reader->m_fileSize = size;

    int err = MPG123_OK;
    reader->m_handle.reset(mpg123_new(nullptr, &err));
    if (!reader->m_handle)
        return fail("cannot decode " + path + ": " + mpg123_plain_strerror(err));
    mpg123_handle* mh = reader->m_handle.get();
    // Gapless: encoder delay and padding are cut, so the length is the
    // encoded audio's. The first frame must show up early, so that a file
    // that is not MPEG audio at all is refused quickly.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    mpg123_param(mh, MPG123_RESYNC_LIMIT, kMpegJunkSearchBytes, 0);
    // Enough frames decoded ahead of a seek target to refill the bit
    // reservoir, so that a seek gives the same samples as decoding through.
    mpg123_param(mh, MPG123_PREFRAMES, 8, 0);
    const bool mono = mix == Channels::MixedToMono;
    if (mono)
        mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_MONO_MIX, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], mono ? MPG123_MONO : MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    reader->m_file.fd = reader->m_fd.Get();
    reader->m_file.buffer.resize(kReadBufferBytes);
    {
        FileBytes bytes(reader->m_fd.Get(), size);
        const std::int64_t firstFrame = FindFirstMpegFrame(bytes, SkipLeadingId3v2(bytes), kMpegJunkSearchBytes);
        if (firstFrame >= 0)
            reader->m_file.junk = FindJunkInMpegStream(bytes, firstFrame);
    }
    if (mpg123_replace_reader_handle(mh, &BufferedFile::Read, &BufferedFile::Seek, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &reader->m_file) != MPG123_OK)
        return fail("cannot decode " + path + ": " + mpg123_strerror(mh));
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels <= 0)
        return fail("cannot decode " + path + ": no MPEG audio found in the file");
    // The output keeps the format the stream opened with: a later part of
    // another channel count is mixed or spread to it, one of another rate is
    // resampled to it.
    mpg123_format_none(mh);
    if (mpg123_format(mh, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK)
        return fail("cannot decode " + path + ": " + mpg123_strerror(mh));
    struct mpg123_frameinfo info {};
    if (mpg123_info(mh, &info) != MPG123_OK || info.layer < 1 || info.layer > 3)
        return fail("cannot decode " + path + ": no MPEG audio found in the file");
    // Past the first frame, damaged stretches are searched through to the
    // next good frame (no limit) instead of ending the stream.
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0);
    // Counting every frame gives the exact length whatever the headers say.
    if (mpg123_scan(mh) != MPG123_OK)
        return fail("cannot decode " + path + ": " + mpg123_strerror(mh));
    const off_t length = mpg123_length(mh);
    if (length <= 0)
        return fail("cannot decode " + path + ": no MPEG audio found in the file");
    reader->m_format = AudioFormat{static_cast<int>(rate), channels};
    reader->m_length = static_cast<std::int64_t>(length);
    reader->m_description = std::string(VersionText(info.version)) + " Layer " +
                            std::string(info.layer == 3 ? "III" : info.layer == 2 ? "II" : "I") +
                            (info.vbr == MPG123_CBR ? ", " + std::to_string(info.bitrate) + " kbps"
                                                    : std::string(", VBR"));
    if (mpg123_seek(mh, 0, SEEK_SET) < 0)
        return fail("cannot decode " + path + ": " + mpg123_strerror(mh));
    return reader;
}

Mp3Reader::~Mp3Reader() = default;

bool Mp3Reader::FileShrank() const
{
    struct stat info {};
    return ::fstat(m_fd.Get(), &info) == 0 && info.st_size < m_fileSize;
}

bool Mp3Reader::Seek(std::int64_t frame)
{
    frame = std::clamp<std::int64_t>(frame, 0, m_length);
    const off_t reached = mpg123_seek(m_handle.get(), static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0) {
        m_error = "cannot seek in " + m_path + ": " + mpg123_strerror(m_handle.get());
        return false;
    }
    // A seek into the padded tail (see Read) lands beyond what the decoder has.
    m_decoderDone = reached < frame;
    m_position = frame;
    return true;
}

std::int64_t Mp3Reader::Read(float* out, std::int64_t frames)
{
    frames = std::min(frames, m_length - m_position);
    if (frames <= 0)
        return 0;
    const int channels = m_format.channels;
    std::int64_t got = 0;
    int idleReads = 0;
    while (got < frames && !m_decoderDone) {
        const size_t wanted = static_cast<size_t>(frames - got) * channels * sizeof(float);
        size_t done = 0;
        const int rc = mpg123_read(m_handle.get(), reinterpret_cast<unsigned char*>(out + got * channels),
                                   wanted, &done);
        got += static_cast<std::int64_t>(done / (channels * sizeof(float)));
        // Guards against a decoder that neither delivers nor ends.
        idleReads = done ? 0 : idleReads + 1;
        if (rc == MPG123_DONE || idleReads > 64) {
            m_decoderDone = true;
        } else if (rc == MPG123_NEW_FORMAT) {
            // A damaged header can announce another format; the output stays
            // in the format the stream opened with.
            continue;
        } else if (rc != MPG123_OK) {
            m_error = "cannot decode " + m_path + ": " +
                      (FileShrank() ? std::string(kTruncated) : std::string(mpg123_strerror(m_handle.get())));
            return -1;
        }
    }
    if (got < frames) {
        // The decoder ended before the scanned length: frames it skipped as
        // damaged. Fill the rest with silence so that the stream keeps the
        // length it announced, unless the file itself shrank while we read.
        if (FileShrank()) {
            m_error = "cannot decode " + m_path + ": " + kTruncated;
            return -1;
        }
        std::fill(out + got * channels, out + frames * channels, 0.0f);
        got = frames;
    }
    m_position += got;
    return got;
}
