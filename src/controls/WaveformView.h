#pragma once
// A waveform overview of one sound file: the lowest and highest level of
// each pixel column, from level blocks of fixed length (min/max of a mono
// mix) that arrive while the file is still being scanned, so the picture
// grows from the left as they come. Over it: the playing position as a
// line, the cuts as marks labelled with the number of the track they start,
// and stretches (silences) shaded. A sketch of the whole file can come
// first and be replaced block by block.
//
// The view shows a window of the file: the wheel zooms around the mouse,
// Shift+wheel pans, Ctrl+0 fits the whole file. A click moves the playing
// position, a double-click or M asks for a cut there, a mark can be dragged,
// Delete and Left/Right (Shift: 1 s) act on the selected cut. The view owns
// no cuts: it asks through signals and shows what it is given.
//
// Times are in 100 ns units, as the engine counts them.

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

class WaveformView : public QWidget {
    Q_OBJECT
public:
    using Time = std::int64_t;
    struct Level {
        float min = 0;
        float max = 0;
    };
    struct Stretch {
        Time start = 0;
        Time end = 0;
    };

    explicit WaveformView(QWidget* parent = nullptr);

    // The length of the file and of one level block; both reset the zoom.
    void SetDuration(Time duration, Time blockLength);
    Time Duration() const { return m_duration; }
    // Drops every level block (a new file).
    void ClearLevels();
    // Adds the next blocks, in order from the file's start.
    void AppendLevels(const std::vector<Level>& levels);
    // Puts blocks [first, first + size) in place, over what was there.
    void SetLevels(std::size_t first, const std::vector<Level>& levels);
    std::size_t LevelCount() const { return m_levels.size(); }
    // Blocks from `block` on are a sketch (levels of a few frames standing
    // for their neighbours), drawn paler until the exact ones replace them;
    // LevelCount() or more: none.
    void SetSketchFrom(std::size_t block);
    std::size_t SketchFrom() const { return m_sketchFrom; }

    // The boundaries where tracks start (after the first), in order; the
    // mark of cut k is labelled k + 2.
    void SetCuts(std::vector<Time> cuts);
    const std::vector<Time>& Cuts() const { return m_cuts; }
    // -1: none.
    void SetSelectedCut(int index);
    int SelectedCut() const { return m_selected; }
    void SetPlayPosition(Time position);
    Time PlayPosition() const { return m_position; }
    // Shaded stretches; `proposed` ones are drawn in another colour (found,
    // not yet accepted).
    void SetShaded(std::vector<Stretch> stretches, bool proposed = false);
    const std::vector<Stretch>& Shaded() const { return m_shaded; }

    // The visible window of the file.
    Time ViewStart() const { return m_viewStart; }
    Time ViewLength() const { return m_viewLength; }
    void SetView(Time start, Time length);
    void FitAll();
    // Zooms by `factor` (>1: in) keeping the time under column x in place.
    void ZoomAt(int x, double factor);
    // Moves the window so that `t` is visible (centred when it was not).
    void EnsureVisible(Time t);

    // The time at column x and the column of time t.
    Time TimeAtX(double x) const;
    double XOfTime(Time t) const;
    // The lowest and highest level of column x from the blocks that have
    // arrived; false when none covers the column yet.
    bool ColumnPeak(int x, Level& peak) const;
    // The cut whose mark is within a few pixels of x, or -1.
    int CutNear(int x) const;

signals:
    void positionClicked(qint64 time);
    void cutRequested(qint64 time);
    // A mark dragged from `from` and let go at `to` (the view already shows
    // it there; the owner records the move).
    void cutDragged(int index, qint64 from, qint64 to);
    void cutSelected(int index);
    void deleteCutRequested(int index);
    void nudgeRequested(int index, qint64 delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    Time ClampView(Time start) const;
    Time MinViewLength() const;

    Time m_duration = 0;
    Time m_blockLength = 100000; // 10 ms
    std::vector<Level> m_levels;
    std::size_t m_sketchFrom = static_cast<std::size_t>(-1);
    std::vector<Time> m_cuts;
    std::vector<Stretch> m_shaded;
    bool m_shadedProposed = false;
    int m_selected = -1;
    Time m_position = 0;
    Time m_viewStart = 0;
    Time m_viewLength = 0;

    int m_dragging = -1;
    Time m_dragFrom = 0;
    bool m_dragMoved = false;
};
