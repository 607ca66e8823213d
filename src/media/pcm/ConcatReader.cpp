// Pieces back to back: piece k occupies output frames [start_k, start_k +
// frames_k) with start_k the sum of the lengths before it, so there is no
// gap and no overlap whatever the pieces' own rates were.

#include "media/pcm/PcmStages.h"

#include <algorithm>

namespace {

class CConcatReader final : public IPcmReader {
public:
    CConcatReader(const AudioFormat& format, std::vector<ConcatPiece> pieces)
        : m_format(format), m_pieces(std::move(pieces))
    {
        std::int64_t start = 0;
        for (const ConcatPiece& piece : m_pieces) {
            m_starts.push_back(start);
            start += std::max<std::int64_t>(0, piece.frames);
        }
        m_length = start;
    }

    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return m_length; }
    std::int64_t Tell() const override { return m_position; }
    std::string Error() const override { return m_error; }

    bool Seek(std::int64_t frame) override
    {
        if (frame < 0 || frame > m_length)
            return false;
        m_position = frame;
        m_positioned = false;
        return true;
    }

    std::int64_t Read(float* out, std::int64_t frames) override
    {
        std::int64_t done = 0;
        while (done < frames && m_position < m_length) {
            const std::size_t index = PieceAt(m_position);
            if (!Enter(index))
                return -1;
            const std::int64_t pieceEnd = m_starts[index] + m_pieces[index].frames;
            const std::int64_t wanted = std::min(frames - done, pieceEnd - m_position);
            const std::int64_t got = m_current->Read(out + done * m_format.channels, wanted);
            if (got < 0) {
                m_error = m_current->Error();
                return -1;
            }
            if (got == 0) {
                m_error = "a piece of the stream ended before its length";
                if (!m_current->Error().empty())
                    m_error = m_current->Error();
                return -1;
            }
            done += got;
            m_position += got;
        }
        return done;
    }

private:
    std::size_t PieceAt(std::int64_t frame) const
    {
        // Last piece starting at or before `frame` that is not empty.
        const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), frame);
        std::size_t index = static_cast<std::size_t>(it - m_starts.begin()) - 1;
        while (index + 1 < m_pieces.size() && m_starts[index] + m_pieces[index].frames <= frame)
            ++index;
        return index;
    }

    // Makes piece `index` current and positions it at m_position.
    bool Enter(std::size_t index)
    {
        if (index != m_currentIndex || !m_current) {
            m_current.reset(); // one decoder at a time
            ConcatPiece& piece = m_pieces[index];
            if (piece.opened) {
                m_current = std::move(piece.opened);
            } else {
                std::string reason;
                m_current = piece.open ? piece.open(&reason) : nullptr;
                if (!m_current) {
                    m_error = reason.empty() ? "cannot open a piece of the stream" : reason;
                    return false;
                }
            }
            if (m_current->Format() != m_format) {
                m_error = "a piece of the stream has another format than the stream";
                m_current.reset();
                return false;
            }
            m_currentIndex = index;
            m_positioned = false;
        }
        if (!m_positioned) {
            const std::int64_t local = m_position - m_starts[index];
            if (m_current->Tell() != local && !m_current->Seek(local)) {
                m_error = m_current->Error();
                return false;
            }
            m_positioned = true;
        }
        return true;
    }

    AudioFormat m_format;
    std::vector<ConcatPiece> m_pieces;
    std::vector<std::int64_t> m_starts;
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;
    bool m_positioned = false;
    std::size_t m_currentIndex = 0;
    std::shared_ptr<IPcmReader> m_current;
    std::string m_error;
};

} // namespace

std::unique_ptr<IPcmReader> MakeConcatReader(const AudioFormat& format, std::vector<ConcatPiece> pieces)
{
    return std::make_unique<CConcatReader>(format, std::move(pieces));
}
