#include "media/filters/LameCalls.h"

#include "media/decode/InfoFrame.h"
#include "media/decode/MpegFrames.h"

#include <algorithm>

int EncodeBlock(lame_global_flags* lame, int channels, const float* samples, int frames,
                std::vector<unsigned char>& buffer)
{
    buffer.resize(static_cast<std::size_t>(frames) * 5 / 4 + 7200);
    return channels == 2
        ? lame_encode_buffer_interleaved_ieee_float(lame, samples, frames, buffer.data(),
                                                    static_cast<int>(buffer.size()))
        : lame_encode_buffer_ieee_float(lame, samples, samples, frames, buffer.data(),
                                        static_cast<int>(buffer.size()));
}

std::vector<unsigned char> MakeInfoFrameForLame(const lame_global_flags* lame, const unsigned char* audio)
{
    const auto stream = MpegFrameHeader::Parse(audio);
    const auto header = stream ? FrameWithRoom(*stream, kInfoTagBytes) : std::nullopt;
    if (!header)
        return {};
    // The fields as LAME fills them for a constant bit rate.
    NewInfoFrame info;
    const int quality = 100 - 10 * lame_get_VBR_q(lame) - lame_get_quality(lame);
    info.quality = static_cast<std::uint32_t>(std::clamp(quality, 0, 100));
    LameExtension& x = info.lame;
    const char* version = get_lame_very_short_version();
    for (std::size_t i = 0; i < x.encoder.size(); ++i)
        x.encoder[i] = static_cast<unsigned char>(*version ? *version++ : ' ');
    x.revisionAndMethod = 1; // revision 0, constant bit rate
    x.lowpass = static_cast<unsigned char>(std::clamp(lame_get_lowpassfreq(lame) / 100, 0, 255));
    const int ath = lame_get_ATHtype(lame) & 0x0F;
    x.flagsAndAth = static_cast<unsigned char>(ath | ((lame_get_exp_nspsytune(lame) & 1) << 4));
    const int kbps = lame_get_brate(lame);
    x.bitrate = static_cast<unsigned char>(std::min(kbps, 255));
    const int rate = lame_get_in_samplerate(lame);
    const MPEG_mode mode = lame_get_mode(lame);
    const int stereo = mode == MONO ? 0 : mode == JOINT_STEREO ? 3 : 1;
    const int source = rate <= 32000 ? 0 : rate == 44100 ? 1 : rate == 48000 ? 2 : 3;
    const int unwise = rate <= 32000 ? 1 : 0; // LAME flags every rate up to 32 kHz
    x.misc = static_cast<unsigned char>((stereo << 2) | (unwise << 5) | (source << 6));
    x.preset = {static_cast<unsigned char>((kbps >> 8) & 0x07), static_cast<unsigned char>(kbps)};
    x.delay = lame_get_encoder_delay(lame);
    return MakeInfoFrame(*header, info);
}

std::vector<unsigned char> FirstInfoFrame(const lame_global_flags* lame, const EncodedRun& run)
{
    if (run.infoFrameBytes == 0)
        return run.frames.empty() ? std::vector<unsigned char>{}
                                  : MakeInfoFrameForLame(lame, run.bytes.data() + run.frames.front().offset);
    std::vector<unsigned char> info(2880);
    const std::size_t size = lame_get_lametag_frame(lame, info.data(), info.size());
    info.resize(size <= info.size() ? size : 0);
    return info;
}
