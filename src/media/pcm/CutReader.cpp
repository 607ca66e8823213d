// The cut of a source: frames [first, end) exactly, positioned lazily so
// that building a long list of cuts opens no stream position yet.

#include "media/pcm/PcmStages.h"

#include <algorithm>
#include <cstdio>

namespace {

class CCutReader final : public IPcmReader {
public:
    CCutReader(std::shared_ptr<IPcmReader> source, std::int64_t first, std::int64_t end, std::string name)
        : m_source(std::move(source)), m_name(std::move(name))
    {
        const std::int64_t sourceLength = m_source->LengthFrames();
        if (sourceLength >= 0)
            end = std::min(end, sourceLength);
        m_first = std::max<std::int64_t>(0, first);
        m_end = std::max(m_first, end);
    }

    AudioFormat Format() const override { return m_source->Format(); }
    std::int64_t LengthFrames() const override { return m_end - m_first; }
    std::int64_t Tell() const override { return m_position; }
    std::string Error() const override { return m_error; }

    bool Seek(std::int64_t frame) override
    {
        if (frame < 0 || frame > LengthFrames())
            return false;
        m_position = frame;
        m_positioned = false;
        return true;
    }

    std::int64_t Read(float* out, std::int64_t frames) override
    {
        const std::int64_t wanted = std::min(frames, LengthFrames() - m_position);
        if (wanted <= 0)
            return 0;
        if (!m_positioned) {
            if (!m_source->Seek(m_first + m_position)) {
                m_error = Describe("cannot seek in") + ": " + m_source->Error();
                return -1;
            }
            m_positioned = true;
        }
        const std::int64_t got = m_source->Read(out, wanted);
        if (got < 0) {
            m_error = m_source->Error();
            return -1;
        }
        if (got == 0) {
            // The length was known when the job was built; a source that now
            // ends early was changed or removed under us.
            char at[64];
            std::snprintf(at, sizeof at, "%.3f s", double(m_first + m_position) / Format().sampleRate);
            m_error = Describe("unexpected end of") + " at " + at + " (was the file changed or removed?)";
            return -1;
        }
        m_position += got;
        return got;
    }

private:
    std::string Describe(const std::string& what) const
    {
        return m_name.empty() ? what + " the source" : what + " " + m_name;
    }

    std::shared_ptr<IPcmReader> m_source;
    std::string m_name;
    std::int64_t m_first = 0;
    std::int64_t m_end = 0;
    std::int64_t m_position = 0;
    bool m_positioned = false;
    std::string m_error;
};

} // namespace

std::unique_ptr<IPcmReader> MakeCutReader(std::shared_ptr<IPcmReader> source, std::int64_t firstFrame,
                                          std::int64_t endFrame, std::string name)
{
    return std::make_unique<CCutReader>(std::move(source), firstFrame, endFrame, std::move(name));
}
