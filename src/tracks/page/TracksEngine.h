#pragma once
// What the tracks page asks of the tracks engine, in the page's own terms
// (page tracks, Qt strings, waveform levels): the background scan of the
// source, the cue sheet and label file readers and writers, the silence
// finder, equal parts, the planned names and the tracks job. Only this file's
// source sees the engine's types.
//
// Nothing here blocks for long: the scan and the job run on the engine's
// threads, and the page polls them.

#include "TrackListModel.h"
#include "WaveformView.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class TracksEngine {
public:
    using Time = tracktime::Time;

    TracksEngine();
    ~TracksEngine();
    TracksEngine(const TracksEngine&) = delete;
    TracksEngine& operator=(const TracksEngine&) = delete;

    // ---- The scan: level blocks of the whole source, while it decodes.
    // False with `error` when the scan cannot start.
    bool StartScan(const QString& source, QString& error);
    void StopScan();
    bool Scanning() const;
    bool ScanDone() const;
    QString ScanError() const;
    std::size_t BlocksReady() const;
    std::size_t TotalBlocks() const;
    Time BlockLength() const;
    std::vector<WaveformView::Level> Levels(std::size_t first, std::size_t count) const;
    // The quick picture of a long MP3 from a few of its frames, there well
    // before the full decode: true once it is there or will not come.
    bool SketchDone() const;
    // Its levels from block `first` to the end; empty when there is none.
    std::vector<WaveformView::Level> SketchLevels(std::size_t first) const;
    // One frame in how many it decoded.
    int SketchStride() const;

    // ---- Where tracks come from.
    struct Imported {
        PageTracks tracks;
        QString error;     // empty on success
        QStringList notes; // what the reader wants the person to know
    };
    Imported ReadCueSheet(const QString& path, const QString& source, Time duration) const;
    Imported ReadLabels(const QString& path, Time duration) const;
    // Empty on success, else why not.
    QString WriteCueSheet(const QString& path, const QString& source, const PageTracks& tracks) const;
    QString WriteLabels(const QString& path, const PageTracks& tracks) const;

    struct Silences {
        std::vector<WaveformView::Stretch> found;
        PageTracks tracks;   // the tracks the silences make
        QString report;      // what was used and, when nothing was found, the loudest silence seen
    };
    // The threshold the source's own noise floor suggests (dBFS); nullopt
    // before the scan has finished.
    std::optional<double> SuggestedThresholdDb() const;
    Silences FindSilences(double thresholdDb, double minSeconds, bool trim, Time duration) const;
    // `count` parts, or parts of `every`; each cut snapped to the middle of
    // the nearest silence within ±snapSeconds (0: no snapping).
    PageTracks EqualParts(int count, Time every, double snapSeconds, double thresholdDb, Time duration) const;

    // ---- Writing.
    enum class Format { Keep, Mp3, Wav };
    struct WriteRequest {
        QString source;
        QString folder;
        QString nameTemplate;
        Format format = Format::Keep;
        int bitrateKbps = 192;
        int sampleRate = 44100;
        PageTracks tracks;
    };
    // The name the first track would get (live example); empty when the
    // engine cannot say.
    QString FirstName(const WriteRequest& request) const;
    // Why the source cannot be copied without re-encoding; empty when it can.
    QString LosslessRefusal(const QString& source) const;

    bool StartWrite(const WriteRequest& request, QString& error);
    struct Progress {
        int piece = 0;       // index of the piece being written
        int pieces = 0;
        double fraction = 0; // over the whole run, 0..1
        QString name;        // the piece being written
    };
    Progress WriteProgress() const;
    bool Writing() const;
    // True once the run has ended (finished, failed or stopped).
    bool WriteEnded() const;
    void StopWrite();
    struct Outcome {
        bool succeeded = false;
        bool stopped = false;
        QString reason;
        QStringList written; // paths of the complete pieces
    };
    // Collects the result of an ended run and lets the job go.
    Outcome FinishWrite();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
