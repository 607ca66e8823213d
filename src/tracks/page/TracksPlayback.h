#pragma once
// Playing on the tracks page: Play and Pause from the playing position,
// "Play the cut" (two seconds each side of a cut, or the start and the end
// of a track, one stretch after the other, then a stop), seeking, and the
// playing position shown on the waveform and in words.

#include "PreviewPlayer.h"
#include "TrackListModel.h"

#include <QCoreApplication>

#include <vector>

class QLabel;
class QPushButton;
class WaveformView;

class CTracksPlayback {
    // Its texts are the page's, one context for the translators.
    Q_DECLARE_TR_FUNCTIONS(CTracksPage)
public:
    using Time = tracktime::Time;

    // What it plays and shows on, all the page's: the player, the file it
    // plays (set before the page runs) and its length (known once the page
    // has loaded it), the Play button (it says Pause while playing), the
    // waveform and the label that show the position.
    struct Parts {
        CPreviewPlayer& player;
        const QString& source;
        const Time& duration;
        QPushButton* playButton;
        WaveformView* wave;
        QLabel* positionLabel;
    };
    explicit CTracksPlayback(Parts parts);

    void ShowPosition(Time position);
    void SeekTo(Time t);
    // False (told) when the source could not be opened for playing.
    bool CanPlay();
    void PlayPause();
    // "Play the cut": around the cut at `at`, or the edges of `track`.
    void PlayAround(Time at);
    void PlayEdgesOf(const PageTrack& track);
    // The page's position timer: the position shown, the next stretch.
    void OnPositionTick();
    // The player has reached the end.
    void OnEnded();
    // Write all: the player rests while the pieces are written.
    void Rest();
    // The page is closing: the player lets go of the source.
    void EndWithPage();

private:
    struct Stretch {
        Time start = 0;
        Time end = 0;
    };
    void PlayStretch();

    Parts m_parts;
    // "Play the cut": the stretches still to play, in order.
    std::vector<Stretch> m_stretches;
};
