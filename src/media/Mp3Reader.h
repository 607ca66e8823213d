#pragma once
// MP3 decoding with libmpg123: gapless, scanned on open so that the length is
// exact even without a Xing/LAME header, sample-exact seeks.

#include "PcmReader.h"
#include "UniqueFd.h"

#include <memory>

struct mpg123_handle_struct;

class Mp3Reader final : public IPcmReader {
public:
    // Null with `reason` set when the file cannot be opened or holds no MPEG
    // audio.
    static std::unique_ptr<Mp3Reader> Open(const std::string& path, std::string* reason);
    ~Mp3Reader() override;

    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return m_length; }
    bool Seek(std::int64_t frame) override;
    std::int64_t Tell() const override { return m_position; }
    std::int64_t Read(float* out, std::int64_t frames) override;
    std::string Error() const override { return m_error; }

    // "MPEG-1 Layer III, 128 kbps" and the like, for the graph description.
    std::string Describe() const { return m_description; }

private:
    struct HandleDeleter {
        void operator()(mpg123_handle_struct* handle) const;
    };
    Mp3Reader() = default;
    bool FileShrank() const;

    std::string m_path;
    UniqueFd m_fd;
    std::unique_ptr<mpg123_handle_struct, HandleDeleter> m_handle;
    AudioFormat m_format;
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;
    std::int64_t m_fileSize = 0;
    bool m_decoderDone = false; // libmpg123 has nothing more to give
    std::string m_error;
    std::string m_description;
};
