#pragma once
// MP3 decoding with libmpg123: gapless, scanned on open so that the length is
// exact even without a Xing/LAME header, sample-exact seeks. Junk inside the
// stream is never decoded (see BufferedFile::junk).

#include "media/decode/MpegFrames.h"
#include "media/graph/PcmReader.h"
#include "media/graph/UniqueFd.h"

#include <memory>
#include <sys/types.h>
#include <vector>

struct mpg123_handle_struct;

class Mp3Reader final : public IPcmReader {
public:
    // Null with `reason` set when the file cannot be opened or holds no MPEG
    // audio.
    enum class Channels { AsCoded, MixedToMono };
    static std::unique_ptr<Mp3Reader> Open(const std::string& path, std::string* reason,
                                           Channels channels = Channels::AsCoded);
    ~Mp3Reader() override;

    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return m_length; }
    bool Seek(std::int64_t frame) override;
    std::int64_t Tell() const override { return m_position; }
    std::int64_t Read(float* out, std::int64_t frames) override;
    std::string Error() const override { return m_error; }

    // "MPEG-1 Layer III, 128 kbps" and the like, for the graph description.
    std::string Describe() const override { return m_description; }

private:
    struct HandleDeleter {
        void operator()(mpg123_handle_struct* handle) const;
    };
    // The file as libmpg123 reads it: through a buffer, since the decoder
    // asks for each frame's header and body separately (two system calls a
    // frame unbuffered). pread keeps the position here, not in the fd.
    struct BufferedFile {
        int fd = -1;
        off_t position = 0;      // where the decoder reads next
        off_t bufferStart = 0;   // file offset of buffer[0]
        std::size_t bufferFill = 0;
        std::vector<unsigned char> buffer;
        // Stretches inside the stream that belong to no frame of it, in
        // order. They read as zeros: libmpg123 resyncs through them as
        // through any damage, but can no longer take a chance pattern in
        // them for a frame (noise bursts, often of another rate, and a
        // longer stream). libmpg123 itself checks the next header only
        // before the first frame, not after a resync.
        std::vector<ByteRange> junk;
        void BlankJunk(unsigned char* data, off_t at, std::size_t count) const;
        static ssize_t Read(void* self, void* out, std::size_t count);
        static off_t Seek(void* self, off_t offset, int whence);
    };

    Mp3Reader() = default;
    bool FileShrank() const;

    std::string m_path;
    UniqueFd m_fd;
    BufferedFile m_file; // outlives m_handle, which reads through it
    std::unique_ptr<mpg123_handle_struct, HandleDeleter> m_handle;
    AudioFormat m_format;
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;
    std::int64_t m_fileSize = 0;
    bool m_decoderDone = false; // libmpg123 has nothing more to give
    std::string m_error;
    std::string m_description;
};
