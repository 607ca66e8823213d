#include "media/decode/SoundFileReader.h"

#include "media/graph/UniqueFd.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

void SoundFileReader::FileDeleter::operator()(sf_private_tag* file) const
{
    sf_close(file);
}

namespace {

std::string FormatText(int format)
{
    SF_FORMAT_INFO info{};
    std::string text;
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name)
        text = info.name;
    info = SF_FORMAT_INFO{};
    info.format = format & SF_FORMAT_SUBMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name)
        text += std::string(text.empty() ? "" : ", ") + info.name;
    return text;
}

} // namespace

std::unique_ptr<SoundFileReader> SoundFileReader::Open(const std::string& path, std::string* reason)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<SoundFileReader> {
        if (reason)
            *reason = why;
        return nullptr;
    };
    std::string why;
    UniqueFd fd = OpenForReading(path, &why);
    if (!fd)
        return fail(why);

    std::unique_ptr<SoundFileReader> reader(new SoundFileReader);
    reader->m_path = path;
    SF_INFO info{};
    // libsndfile takes over the descriptor (closes it with the file).
    reader->m_file.reset(sf_open_fd(fd.Release(), SFM_READ, &info, SF_TRUE));
    if (!reader->m_file)
        return fail("cannot read " + path + ": not a sound file this program reads (" +
                    sf_strerror(nullptr) + ")");
    if (info.samplerate <= 0 || info.channels <= 0 || info.frames < 0)
        return fail("cannot read " + path + ": the file announces no usable audio format");
    reader->m_format = AudioFormat{info.samplerate, info.channels};
    reader->m_length = info.frames;
    reader->m_description = FormatText(info.format);
    return reader;
}

SoundFileReader::~SoundFileReader() = default;

bool SoundFileReader::Seek(std::int64_t frame)
{
    frame = std::clamp<std::int64_t>(frame, 0, m_length);
    if (sf_seek(m_file.get(), frame, SEEK_SET) < 0) {
        m_error = "cannot seek in " + m_path + ": " + sf_strerror(m_file.get());
        return false;
    }
    m_position = frame;
    return true;
}

std::int64_t SoundFileReader::Read(float* out, std::int64_t frames)
{
    frames = std::min(frames, m_length - m_position);
    if (frames <= 0)
        return 0;
    const sf_count_t got = sf_readf_float(m_file.get(), out, frames);
    if (got < 0 || (got == 0 && sf_error(m_file.get()) != SF_ERR_NO_ERROR)) {
        m_error = "cannot read " + m_path + ": " + sf_strerror(m_file.get());
        return -1;
    }
    if (got == 0) {
        // The length was known when the file was opened: the file has been
        // cut short since.
        m_error = "cannot read " + m_path + ": the file ends before its announced length "
                  "(it was truncated while it was read)";
        return -1;
    }
    m_position += got;
    return got;
}
