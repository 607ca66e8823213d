#pragma once
// Owner-drawn push button that gives every page its look: two bitmaps with a
// transparent colour over a snapshot of the parent's background, a hover
// image, a hand cursor and a tooltip.

#include <QAbstractButton>
#include <QBitmap>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <optional>

class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CSkinButton(QWidget* parent = nullptr);
    ~CSkinButton() override;

    // Takes the place of the push button with control id `id` on `page`
    // (found through its "controlId" property): same rectangle, id, object
    // name, tab position, enabled state and default flag. The template's
    // button is deleted. Returns false when no such control exists.
    bool SubclassDlgItem(int id, QWidget* page);

    // What loading the bitmaps came to.
    enum class BitmapResult {
        Loaded,
        Unreadable, // a bitmap could not be read
        NoMask,     // a mask could not be made
    };
    // Loads both bitmaps from the resources by id.
    [[nodiscard]] BitmapResult SetBitmaps(int hoverId, QRgb hoverTransparent, int normalId,
                                          QRgb normalTransparent);
    [[nodiscard]] BitmapResult SetBitmapHandles(const QImage& hover, QRgb hoverTransparent,
                                                const QImage& normal, QRgb normalTransparent);
    void SetDrawBorder(bool draw);
    void SetTransparent(bool repaint);
    bool SetButtonCursor(int cursorId);            // 0 removes the cursor
    void SetTooltipText(const QString* text, bool activate);
    void SetTooltipText(const QString& text, bool activate) { SetTooltipText(&text, activate); }

    // The standard skin configuration every page applies to each of its
    // skinned buttons: subclass, hover image keyed on RGB(0,0,0), normal
    // image keyed on RGB(0,255,0), no border, parent background shown
    // through, hand cursor 159, tooltip active.
    bool SetupStandardSkin(int id, QWidget* page, int hoverBitmapId, int normalBitmapId,
                           const QString& tooltip);

protected:
    // Fill while not transparent, and the 3D frame drawn while hovered or
    // pressed when the border is on.
    virtual void DrawBackground(QPainter& painter, const QRect& rect);
    virtual void DrawBorder(QPainter& painter, const QRect& rect);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // One bitmap with its transparent colour masked out once, when set.
    struct ImageRecord {
        QPixmap pixmap;
        QBitmap mask;
        QRgb transparent = 0;
        int width = 0;
        int height = 0;
        bool IsSet() const { return !pixmap.isNull(); }
    };

    static BitmapResult MakeImageRecord(const QImage& image, QRgb transparent, ImageRecord& record);
    void FreeBitmaps();
    void SetHover(bool hover);
    void CancelHover();
    bool CanLightUp() const;
    void DiscardSnapshot();
    void TakeSnapshot();
    void PaintParentBackground(QPainter& painter);
    QRect ComputeImageRect(const ImageRecord& image, bool hasCaption, const QRect& item,
                           QRect& caption, bool pressed) const;
    void DrawImage(QPainter& painter, bool hasCaption, const QRect& item, QRect& caption,
                   bool pressed);
    void DrawCaption(QPainter& painter, const QString& caption, QRect rect, bool pressed);
    QPixmap DisabledPixmap(const ImageRecord& image);
    void DrawFocusFrame(QPainter& painter);
    void RepaintNow();

    bool m_bTransparent = false;
    bool m_bMouseOnButton = false;
    QColor m_activeBackground;
    QColor m_activeText;
    QColor m_inactiveBackground;
    QColor m_inactiveText;
    bool m_bDrawBorder = true;
    std::optional<QCursor> m_cursor;
    QString m_tooltipText;
    bool m_bTooltipActive = false;
    ImageRecord m_hover;
    ImageRecord m_normal;
    QPixmap m_background;   // the parent's pixels under the button, taken once
    QPixmap m_disabled;     // the shown image greyed, made at the first disabled paint
};
