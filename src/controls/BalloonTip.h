#pragma once
// Speech-balloon tip for some controls of a page: once the pointer has rested
// on a registered control for a moment, a frameless window shaped like a
// balloon shows the control's text, with the tip of its pointer on the
// cursor's hot spot. It hides when the pointer leaves the registered
// controls or a mouse button is pressed, and never takes focus.

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <map>

class CBalloonTip : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDT_BALLOON_SHOW = 100;
    static constexpr int IDT_BALLOON_CHECK = 101;

    CBalloonTip();
    ~CBalloonTip() override;

    // Makes the balloon a tool-tip window owned by `owner` (may be null) and
    // takes the GUI font. With an owner, every mouse move and button press of
    // the owner and of its child controls is relayed from then on, so the
    // page need not call RelayEvent itself. Returns true.
    bool Create(QWidget* owner);

    // Registers `control` with the text to show over it; registering it
    // again replaces the text. Lines break only at "\n".
    void AddTool(QWidget* control, const QString& text);

    // Acts on one event of the owner or of one of its child controls: a
    // mouse move over a registered control (re)starts the show delay, a move
    // anywhere else or a button press hides the balloon.
    void RelayEvent(QObject* receiver, QEvent* event);

    // Shows `text` with the pointer's tip at `point` (the cursor position
    // when null) once the show delay has passed.
    void Show(const QString& text, const QPoint* point = nullptr);

    const QString& Text() const { return m_strText; }

    // The balloon's shape for `text` in `font`, in window coordinates, and
    // the window's size in `size`: the rounded body with the text 12 pixels
    // in from the left and right and 10 from the top and bottom, and the
    // pointer below it whose tip lies at (size.width() - 12, size.height() - 10).
    static QRegion MakeRegion(const QFont& font, const QString& text, QSize& size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    void OnTimer(int id);
    void Hide();
    const QString* ToolTextAt(const QWidget* receiver, QPoint globalPos) const;

    int m_nShowDelay = 250;
    QPoint m_ptOrigin;
    QString m_strText;
    QFont m_font;
    std::map<const QObject*, QString> m_tools;
    QPointer<QWidget> m_pOwner;
    QTimer m_showTimer;
    QTimer m_checkTimer;
};
