#pragma once
// Owner-drawn push button that gives every page its look: two bitmaps with a
// transparent colour over a snapshot of the parent's background, a hover
// image, a hand cursor and a tooltip.

#include <QAbstractButton>
#include <QBitmap>
#include <QCursor>
#include <QImage>
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

    // Loads both bitmaps from the resources by id. 0 on success, 1 when a
    // bitmap could not be read, 2 when a mask could not be made.
    int SetBitmaps(int hoverId, QRgb hoverTransparent, int normalId, QRgb normalTransparent);
    int SetBitmapHandles(const QImage& hover, QRgb hoverTransparent,
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
};
