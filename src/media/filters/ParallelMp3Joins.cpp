// How the segments' frames become one stream: each segment's frames are
// written up to where the next encoder takes over (or the previous one goes
// on into the next segment's audio, or stands in for it), and the info frame
// is rewritten for the whole stream at the end.

#include "media/filters/ParallelMp3Encoder.h"

#include "media/decode/InfoFrame.h"
#include "media/filters/LameCalls.h"

#include <algorithm>

namespace {

// Drops the frames of `run` before `index` that no frame from `index` on
// reaches back into for its main data (frames are parsed again).
void DropFramesBefore(EncodedRun& run, std::int64_t index)
{
    if (!run.Has(index) || index <= run.firstIndex)
        return;
    // Main data lie in order: what frame `index` reaches back to, no later
    // frame reaches before. Frame index - 1 stays too, for the join search.
    const Layer3Frame& at = run.At(index);
    const std::int64_t needed = at.areaPosition - at.mainDataBegin;
    std::int64_t keep = index - 1;
    while (keep > run.firstIndex && run.At(keep).areaPosition > needed)
        --keep;
    const std::size_t offset = run.At(keep).offset;
    run.bytes.erase(run.bytes.begin(), run.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    run.firstIndex = keep;
    run.opensWithAudio = true;
    ParseEncodedRun(run);
}

} // namespace

// Writes the frames that are final: the front segment's up to where the
// next one takes over, once both are encoded. `stopping`: the encoding ends
// early, and the last segment written is the last one.
void CParallelMp3Encoder::WriteInOrder(bool stopping)
{
    while (!m_segments.empty() && !m_failed && !m_allWritten) {
        Segment& front = *m_segments.front();
        if (!front.encoded)
            return;
        if (m_writeFrom < 0) {
            // The first encoder's info frame keeps the place of the finished
            // one; where it made none, a header and zeros keep it for ours.
            const auto lameInfo = static_cast<std::ptrdiff_t>(front.run.infoFrameBytes);
            std::vector<unsigned char> place(front.run.bytes.begin(), front.run.bytes.begin() + lameInfo);
            if (place.empty() && !m_info.empty()) {
                place.assign(m_info.size(), 0);
                std::copy(m_info.begin(), m_info.begin() + 4, place.begin());
            }
            if (!place.empty() && FAILED(m_write(0, place.data(), place.size()))) {
                FailLocked({}, true);
                return;
            }
            m_offset = place.size();
            m_writeFrom = front.keepFrom;
        }
        Segment* next = m_segments.size() > 1 ? m_segments[1].get() : nullptr;
        std::int64_t join = -1;
        if (!front.last && next && next->encoded) {
            // Best where the next encoder has had all its pre-roll; failing
            // that a little earlier, where it has had most of it.
            JoinChoice choice = ChooseJoinFrame(front.run, next->run, next->keepFrom, next->keepFrom + kOverlapFrames);
            if (choice.rank > 0) {
                const JoinChoice early = ChooseJoinFrame(front.run, next->run, next->keepFrom - kEarlyJoinFrames,
                                                         next->keepFrom - 1);
                if (early.rank < choice.rank)
                    choice = early;
            }
            // Where two reservoirs stay apart (as at low bit rates) no frame
            // fits: the previous encoder goes on into the next segment's
            // audio until they meet.
            while (choice.index < 0 && ExtendInto(front, *next))
                choice = ChooseJoinFrame(front.run, next->run, next->keepFrom, front.run.EndIndex());
            // Through all of the next segment's audio without a join: the
            // previous encoder takes it over and goes on to the one after.
            if (choice.index < 0 && !stopping && TakeOver(front))
                continue;
            join = choice.index;
        }
        if (join < 0) {
            if (front.last || stopping) {
                WriteTail(front, m_writeFrom);
                if (m_failed || !EndStream())
                    return;
                m_segments.clear();
                m_allWritten = true;
                return;
            }
            if (next && next->encoded)
                FailLocked("the MP3 encoder could not join its segments at frame " + std::to_string(next->keepFrom));
            return;
        }
        if (!WriteFrames(front, join))
            return;
        m_segments.pop_front();
        ReleasePcm(*next);
    }
}

// Hands `segment`'s frames from m_writeFrom up to `to` to the packer.
bool CParallelMp3Encoder::WriteFrames(const Segment& segment, std::int64_t to)
{
    for (std::int64_t frame = m_writeFrom; frame < to; ++frame) {
        if (!m_packer.Add(segment.run, frame)) {
            FailLocked(m_sinkFailed ? std::string() : "the MP3 encoder could not join its segments", m_sinkFailed);
            return false;
        }
    }
    m_writeFrom = std::max(m_writeFrom, to);
    // Frame n holds the samples from n * samplesPerFrame - delay on.
    const std::int64_t delay = std::max(0, InfoFrameDelay(m_info));
    m_doneFrames = std::clamp<std::int64_t>(m_writeFrom * m_samplesPerFrame - delay - kDecoderDelaySamples, 0, m_inputFrames);
    return true;
}

// `front`'s encoder, having coded all of the next segment's audio, stands in
// for that segment: the next one's frames and PCM go, and `front` joins the
// segment after it, or is flushed as the last where there is none. False
// (nothing changed) when `front` has not coded all of that audio.
bool CParallelMp3Encoder::TakeOver(Segment& front)
{
    Segment& next = *m_segments[1];
    if (!next.last && m_segments.size() < 3)
        return false;
    if (!front.lame || !next.encoded || front.inputStart + front.consumed != next.inputStart + next.fed)
        return false;
    if (next.last) {
        std::vector<unsigned char> buffer(7200);
        const int size = lame_encode_flush(front.lame.get(), buffer.data(), static_cast<int>(buffer.size()));
        if (size > 0)
            front.run.bytes.insert(front.run.bytes.end(), buffer.begin(), buffer.begin() + size);
        if (size < 0 || !ParseEncodedRun(front.run)) {
            FailLocked("the MP3 encoder failed to finish");
            return false;
        }
        // The first encoder's info frame, now with what LAME knows at the end.
        if (front.index == 0 && !front.run.opensWithAudio)
            m_info = FirstInfoFrame(front.lame.get(), front.run);
        front.last = front.flushed = true;
        front.lame.reset();
    } else {
        // No join with the segment after comes before its pre-roll's middle:
        // the frames before that are final and are written now, and the run
        // keeps only the frames whose bytes later frames still need, so that
        // it does not grow with every segment taken over.
        const Segment& after = *m_segments[2];
        const std::int64_t final = after.keepFrom - kEarlyJoinFrames;
        if (!WriteFrames(front, final))
            return false;
        DropFramesBefore(front.run, final);
    }
    ReleasePcm(next);
    m_segments.erase(m_segments.begin() + 1);
    m_changed.notify_all();
    return true;
}

void CParallelMp3Encoder::ReleasePcm(Segment& segment)
{
    if (!segment.pcm)
        return;
    m_freePcm.push_back(std::move(segment.pcm));
    --m_pcmSegments;
    m_changed.notify_all();
}

// Lets `segment`'s encoder code a few more frames of `next`'s audio. False
// when it cannot (no encoder, no audio left, LAME failed).
bool CParallelMp3Encoder::ExtendInto(Segment& segment, const Segment& next)
{
    const std::int64_t from = segment.inputStart + segment.consumed - next.inputStart;
    const std::int64_t available = next.fed - from;
    if (!segment.lame || !next.pcm || from < 0 || available <= 0)
        return false;
    const int n = static_cast<int>(std::min(available, kOverlapFrames * m_samplesPerFrame));
    std::vector<unsigned char> buffer;
    const int size = EncodeBlock(segment.lame.get(), m_channels, next.pcm.get() + from * m_channels, n, buffer);
    if (size < 0)
        return false;
    segment.run.bytes.insert(segment.run.bytes.end(), buffer.begin(), buffer.begin() + size);
    segment.consumed += n;
    return ParseEncodedRun(segment.run);
}

void CParallelMp3Encoder::WriteTail(Segment& segment, std::int64_t from)
{
    for (std::int64_t frame = from; frame < segment.run.EndIndex(); ++frame) {
        if (!m_packer.Add(segment.run, frame)) {
            FailLocked(m_sinkFailed ? std::string() : "the MP3 encoder could not join its segments", m_sinkFailed);
            return;
        }
    }
    if (!m_packer.Finish())
        FailLocked({}, true);
    m_endSample = segment.flushed ? segment.inputStart + segment.consumed : -1;
}

// The info frame, rewritten for all that was written.
bool CParallelMp3Encoder::EndStream()
{
    if (m_info.empty()) {
        m_doneFrames = m_inputFrames;
        return true; // none to finish
    }
    const std::int64_t frames = m_packer.FramesWritten();
    const int delay = std::max(0, InfoFrameDelay(m_info));
    const std::int64_t coded = frames * m_samplesPerFrame - delay;
    const std::int64_t padding =
        m_endSample >= 0 ? std::clamp<std::int64_t>(coded - m_endSample, 0, 4095) : std::clamp<std::int64_t>(coded, 0, kDecoderDelaySamples);
    m_doneFrames = coded - padding;
    if (!RewriteInfoFrame(m_info, frames, m_packer.BytesWritten(), m_packer.Crc(), static_cast<int>(padding)))
        return true;
    if (FAILED(m_write(0, m_info.data(), m_info.size()))) {
        FailLocked({}, true);
        return false;
    }
    return true;
}
