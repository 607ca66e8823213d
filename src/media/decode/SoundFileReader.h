#pragma once
// Every non-MP3 sound file through libsndfile: WAV in all its variants
// (8-32 bit integer, float, extensible), AIFF, FLAC and the rest.

#include "media/graph/PcmReader.h"

#include <memory>

struct sf_private_tag;

class SoundFileReader final : public IPcmReader {
public:
    static std::unique_ptr<SoundFileReader> Open(const std::string& path, std::string* reason);
    ~SoundFileReader() override;

    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return m_length; }
    bool Seek(std::int64_t frame) override;
    std::int64_t Tell() const override { return m_position; }
    std::int64_t Read(float* out, std::int64_t frames) override;
    std::string Error() const override { return m_error; }

    // "WAV, 16-bit PCM" and the like, for the graph description.
    std::string Describe() const override { return m_description; }

private:
    struct FileDeleter {
        void operator()(sf_private_tag* file) const;
    };
    SoundFileReader() = default;

    std::string m_path;
    std::unique_ptr<sf_private_tag, FileDeleter> m_file;
    AudioFormat m_format;
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;
    std::string m_error;
    std::string m_description;
};
