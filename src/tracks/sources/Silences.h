#pragma once
// Cuts found in the sound itself: silences (RMS over 50 ms windows below a
// threshold for at least a minimum length), equal parts (optionally moved
// into the nearest silence) and typed times. All work on level blocks of
// 10 ms (CDecodeScanner).

#include "DecodeScanner.h"
#include "TrackList.h"

#include <optional>
#include <string>
#include <vector>

struct SSilence {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    double loudestDb = -120; // the loudest 50 ms window inside it
    REFERENCE_TIME Middle() const { return start + (end - start) / 2; }
};

struct SSilenceOptions {
    std::optional<double> thresholdDb; // none: from the noise floor (NoiseFloorThreshold)
    double minSeconds = 2.0;
};

struct SSilenceReport {
    double thresholdDb = 0;  // what was used
    bool thresholdFromFloor = false;
    double noiseFloorDb = 0; // NoiseFloor of the 50 ms windows
    double minSeconds = 0;
    std::vector<SSilence> silences; // inside the source (not touching its ends), in order
    std::optional<SSilence> leading, trailing; // silences at the source's start and end
    // The quietest stretch of at least minSeconds found, as its loudest
    // window: when nothing was found, a threshold above this finds it.
    std::optional<double> quietestStretchDb;
    // One line for the user: what was used and what was found.
    std::string Summary() const;
};

// RMS of 50 ms windows in dBFS (-120 for digital silence), from 10 ms blocks.
std::vector<double> WindowLevels(const std::vector<SLevelBlock>& blocks);

// The noise floor of a recording: the level that the quietest 0.1% of its
// 50 ms windows stay below (the gaps between tracks are short beside the
// music, so a larger share would measure the music's quiet passages).
double NoiseFloor(const std::vector<double>& windowLevels);
// The threshold taken when none is given: 12 dB above the noise floor,
// kept between -70 and -35 dBFS (a pause is never louder than -35 dBFS;
// digital silence gives -70).
double NoiseFloorThreshold(double noiseFloorDb);

// Silences in `blocks` (10 ms each, block k starting at k * blockTime).
SSilenceReport FindSilences(const std::vector<SLevelBlock>& blocks, REFERENCE_TIME blockTime,
                            const SSilenceOptions& options);

// Tracks between the middles of the silences.
STrackList TracksAtSilences(const SSilenceReport& report, REFERENCE_TIME duration);
// Tracks with the silences cut away: each track runs from the end of one
// silence to the start of the next (the first from 0, the last to the end).
STrackList TracksBetweenSilences(const SSilenceReport& report, REFERENCE_TIME duration);
// `list` with every track's ends moved out of the silences they lie in (a
// track that is all silence is dropped); the album fields stay.
STrackList TrimSilences(const STrackList& list, const SSilenceReport& report);

// Cut times for `parts` equal parts of `duration`.
std::vector<REFERENCE_TIME> EqualPartCuts(int parts, REFERENCE_TIME duration);
// Cut times every `every` (the last part may be shorter).
std::vector<REFERENCE_TIME> EveryCuts(REFERENCE_TIME every, REFERENCE_TIME duration);
// Each cut moved to the middle of the silence nearest it whose middle lies
// within ±window; cuts without one stay.
std::vector<REFERENCE_TIME> SnapCuts(std::vector<REFERENCE_TIME> cuts, const std::vector<SSilence>& silences,
                                     REFERENCE_TIME window);
