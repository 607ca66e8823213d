// Silences from 10 ms level blocks, and cuts from them, from equal parts
// and from typed times.

#include "Silences.h"

#include "media/graph/TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {

constexpr std::size_t kWindowBlocks = 5; // 50 ms of 10 ms blocks
constexpr double kFloorDb = -120;

double ToDb(double rms)
{
    return rms > 1e-6 ? std::max(kFloorDb, 20 * std::log10(rms)) : kFloorDb;
}

std::string Db(double db)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", db);
    return text;
}

std::string Seconds(double s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

} // namespace

std::vector<double> WindowLevels(const std::vector<SLevelBlock>& blocks)
{
    std::vector<double> levels;
    if (blocks.empty())
        return levels;
    // Window k covers blocks k .. k+4 (fewer at the end): a 10 ms step.
    std::vector<double> power(blocks.size() + 1, 0.0);
    for (std::size_t k = 0; k < blocks.size(); ++k)
        power[k + 1] = power[k] + double(blocks[k].rms) * blocks[k].rms;
    const std::size_t count = blocks.size() >= kWindowBlocks ? blocks.size() - kWindowBlocks + 1 : 1;
    levels.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t end = std::min(blocks.size(), k + kWindowBlocks);
        levels.push_back(ToDb(std::sqrt(std::max(0.0, power[end] - power[k]) / double(end - k))));
    }
    return levels;
}

double NoiseFloor(const std::vector<double>& windowLevels)
{
    if (windowLevels.empty())
        return kFloorDb;
    std::vector<double> sorted = windowLevels;
    const std::size_t at = sorted.size() / 1000;
    std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(at), sorted.end());
    return sorted[at];
}

double NoiseFloorThreshold(double noiseFloorDb)
{
    return std::clamp(noiseFloorDb + 12.0, -70.0, -35.0);
}

SSilenceReport FindSilences(const std::vector<SLevelBlock>& blocks, REFERENCE_TIME blockTime,
                            const SSilenceOptions& options)
{
    SSilenceReport report;
    const std::vector<double> levels = WindowLevels(blocks);
    report.noiseFloorDb = NoiseFloor(levels);
    report.thresholdFromFloor = !options.thresholdDb;
    report.thresholdDb = options.thresholdDb ? *options.thresholdDb : NoiseFloorThreshold(report.noiseFloorDb);
    report.minSeconds = options.minSeconds;
    const REFERENCE_TIME duration = REFERENCE_TIME(blocks.size()) * blockTime;
    const REFERENCE_TIME minLength = REFERENCE_TIME(std::llround(options.minSeconds * 1e7));
    const REFERENCE_TIME windowTime = REFERENCE_TIME(kWindowBlocks) * blockTime;

    // Runs of windows below the threshold.
    for (std::size_t k = 0; k < levels.size();) {
        if (levels[k] >= report.thresholdDb) {
            ++k;
            continue;
        }
        std::size_t end = k;
        double loudest = kFloorDb;
        while (end < levels.size() && levels[end] < report.thresholdDb)
            loudest = std::max(loudest, levels[end++]);
        SSilence silence;
        silence.start = REFERENCE_TIME(k) * blockTime;
        silence.end = std::min(duration, REFERENCE_TIME(end - 1) * blockTime + windowTime);
        silence.loudestDb = loudest;
        if (silence.end - silence.start >= minLength) {
            if (silence.start == 0)
                report.leading = silence;
            else if (silence.end >= duration)
                report.trailing = silence;
            else
                report.silences.push_back(silence);
        }
        k = end;
    }

    // The quietest stretch of the minimum length: the lowest of the
    // loudest windows over every stretch of that many windows.
    const std::size_t span =
        std::max<std::size_t>(1, std::size_t(std::max<REFERENCE_TIME>(minLength - windowTime, 0) / blockTime) + 1);
    if (levels.size() >= span) {
        std::deque<std::size_t> maxima;
        double quietest = 1e9;
        for (std::size_t k = 0; k < levels.size(); ++k) {
            while (!maxima.empty() && levels[maxima.back()] <= levels[k])
                maxima.pop_back();
            maxima.push_back(k);
            if (maxima.front() + span <= k)
                maxima.pop_front();
            if (k + 1 >= span)
                quietest = std::min(quietest, levels[maxima.front()]);
        }
        report.quietestStretchDb = quietest;
    }
    return report;
}

std::string SSilenceReport::Summary() const
{
    std::string text = "silence threshold " + Db(thresholdDb);
    if (thresholdFromFloor)
        text += " (noise floor " + Db(noiseFloorDb) + " + 12 dB)";
    text += ", at least " + Seconds(minSeconds) + ": ";
    if (!silences.empty())
        return text + std::to_string(silences.size()) + (silences.size() == 1 ? " silence found" : " silences found");
    text += "no silence found";
    if (quietestStretchDb)
        text += "; the quietest " + Seconds(minSeconds) + " stretch reaches " + Db(*quietestStretchDb)
                + " (a threshold above that finds it)";
    return text;
}

STrackList TracksAtSilences(const SSilenceReport& report, REFERENCE_TIME duration)
{
    std::vector<REFERENCE_TIME> cuts;
    for (const SSilence& s : report.silences)
        cuts.push_back(s.Middle());
    return TracksFromCuts(cuts, duration);
}

STrackList TracksBetweenSilences(const SSilenceReport& report, REFERENCE_TIME duration)
{
    return TrimSilences(TracksAtSilences(report, duration), report);
}

STrackList TrimSilences(const STrackList& list, const SSilenceReport& report)
{
    std::vector<SSilence> all;
    if (report.leading)
        all.push_back(*report.leading);
    all.insert(all.end(), report.silences.begin(), report.silences.end());
    if (report.trailing)
        all.push_back(*report.trailing);
    STrackList out = list;
    out.tracks.clear();
    for (STrack t : list.tracks) {
        for (const SSilence& s : all) {
            if (s.start <= t.start && t.start < s.end)
                t.start = s.end;
            if (s.start < t.end && t.end <= s.end)
                t.end = s.start;
        }
        if (t.end > t.start)
            out.tracks.push_back(std::move(t));
    }
    return out;
}

std::vector<REFERENCE_TIME> EqualPartCuts(int parts, REFERENCE_TIME duration)
{
    std::vector<REFERENCE_TIME> cuts;
    for (int k = 1; k < parts; ++k)
        cuts.push_back(REFERENCE_TIME(double(duration) * k / parts));
    return cuts;
}

std::vector<REFERENCE_TIME> EveryCuts(REFERENCE_TIME every, REFERENCE_TIME duration)
{
    std::vector<REFERENCE_TIME> cuts;
    if (every <= 0)
        return cuts;
    for (REFERENCE_TIME t = every; t < duration; t += every)
        cuts.push_back(t);
    return cuts;
}

std::vector<REFERENCE_TIME> SnapCuts(std::vector<REFERENCE_TIME> cuts, const std::vector<SSilence>& silences,
                                     REFERENCE_TIME window)
{
    for (REFERENCE_TIME& cut : cuts) {
        REFERENCE_TIME best = -1;
        for (const SSilence& s : silences) {
            const REFERENCE_TIME distance = std::llabs(s.Middle() - cut);
            if (distance <= window && (best < 0 || distance < std::llabs(best - cut)))
                best = s.Middle();
        }
        if (best >= 0)
            cut = best;
    }
    return cuts;
}
