#pragma once
// Finding a piece of a source in a recording, and how alike the two are.
// Audio is interleaved float; lags and indices count frames.

#include <cstdint>
#include <vector>

struct Audio {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;
    std::int64_t Frames() const { return channels ? std::int64_t(samples.size()) / channels : 0; }
};

struct Match {
    std::int64_t recordingFrame = -1; // where the piece starts in the recording; -1: not found
    double correlation = 0.0;         // normalised, 1 = the same waveform
};

// Where source frames [sourceFrame, sourceFrame + frames) start in the
// recording, searched among recording frames [from, to) (FFT cross-correlation
// of the channel mix, normalised by the energy of each window).
Match Locate(const Audio& recording, std::int64_t from, std::int64_t to, const Audio& source,
             std::int64_t sourceFrame, std::int64_t frames);

struct Likeness {
    double correlation = 0.0; // normalised over every channel
    double levelDb = 0.0;     // recording's RMS over the source's
    double sourceRmsDbfs = 0.0;
};
// Compares `frames` frames of the recording from `recordingFrame` with the
// source from `sourceFrame`.
Likeness Compare(const Audio& recording, std::int64_t recordingFrame, const Audio& source, std::int64_t sourceFrame,
                 std::int64_t frames);

// The first recording frame at or after `from` where `window` frames in a row
// stay below `floorDbfs` (the end of a stretch of sound); -1 if none.
std::int64_t FindSilence(const Audio& recording, std::int64_t from, std::int64_t window, double floorDbfs);
// The first recording frame at or after `from` louder than `floorDbfs` on
// some channel; -1 if none.
std::int64_t FindSound(const Audio& recording, std::int64_t from, double floorDbfs);

struct Continuity {
    int windows = 0;
    int mismatched = 0;         // windows that are not the source's (correlation < 0.99)
    double firstMismatch = -1;  // seconds into the stretch; -1 if none
};
// Whether a stretch stays aligned with the source: a dropout or a skip puts
// every window after it out of step.
Continuity CheckContinuity(const Audio& recording, std::int64_t recordingFrame, const Audio& source,
                           std::int64_t sourceFrame, std::int64_t frames);
