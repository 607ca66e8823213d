// Creation of a page's controls from its template rows.

#include "DialogPage.h"
#include "ListView.h"

#include "Resources.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTreeView>

namespace ui {

namespace {

// A group box as a plain etched frame: no fill, so the white page shows
// through, and the top edge half a text line down, where its title sits.
class FrameGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QFontMetrics fm = fontMetrics();
        const int top = fm.height() / 2;
        const QRect frame(0, top, width() - 2, height() - top - 2);
        p.setPen(QColor(0xa0, 0xa0, 0xa0));
        p.drawRect(frame);
        p.setPen(Qt::white);
        p.drawRect(frame.translated(1, 1));
        if (!title().isEmpty()) {
            const QRect text(8, 0, fm.horizontalAdvance(title()) + 4, fm.height());
            p.fillRect(text, palette().window());
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(text, Qt::AlignCenter, title());
        }
    }
};

QLabel* CreateLabel(const DialogControl& c, QWidget* parent)
{
    auto* label = new QLabel(c.text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QLabel* CreatePicture(const DialogControl& c, QWidget* parent)
{
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (c.kind == ControlKind::Bitmap)
        picture->setPixmap(QPixmap::fromImage(LoadBitmapResource(c.imageId)));
    else
        picture->setPixmap(LoadIconResource(c.imageId).pixmap(32, 32));
    return picture;
}

QComboBox* CreateCombo(const DialogControl& c, QWidget* parent, const QRect& px)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable((c.style & StyleDropDown) != 0);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty("sorted", (c.style & StyleSorted) != 0);
    QStringList items = c.items;
    if (c.style & StyleSorted)
        std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    // The template height is that of the dropped list; the closed box is as
    // high as its font needs.
    const int closed = std::min(px.height(), combo->fontMetrics().height() + 8);
    const int row = combo->fontMetrics().height() + 2;
    combo->setMaxVisibleItems(std::max(1, (px.height() - closed) / row));
    combo->setProperty("closedHeight", closed);
    return combo;
}

// A list view shows a page's own model once the page sets one; until then
// it holds its columns and rows itself.
QTreeView* CreateListView(const DialogControl& c, QWidget* parent)
{
    auto* list = new QTreeView(parent);
    list->setModel(new QStandardItemModel(list));
    PrepareListView(list, (c.style & StyleSingleSel) != 0, (c.style & StyleReport) != 0);
    list->setFrameShape((c.style & StyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
    return list;
}

} // namespace

QWidget* CDialogPage::CreateControl(const DialogControl& row)
{
    // The templates hold the English texts; the page shows them translated.
    DialogControl c = row;
    if (!c.text.isEmpty())
        c.text = QCoreApplication::translate("DialogTemplate", c.text.toUtf8().constData());
    QRect px = MapDialogRect(c.rect);
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Static:
        w = CreateLabel(c, this);
        break;
    case ControlKind::Bitmap:
    case ControlKind::Icon:
        w = CreatePicture(c, this);
        break;
    case ControlKind::GroupBox: {
        auto* group = new FrameGroupBox(c.text, this);
        // A frame drawn around other controls must not take their clicks.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->setFocusPolicy(Qt::NoFocus);
        w = group;
        break;
    }
    case ControlKind::RadioButton:
        w = new QRadioButton(c.text, this);
        break;
    case ControlKind::CheckBox:
        w = new QCheckBox(c.text, this);
        break;
    case ControlKind::PushButton: {
        auto* button = new QPushButton(c.text, this);
        button->setAutoDefault(false);
        button->setDefault((c.style & StyleDefault) != 0);
        w = button;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly((c.style & StyleReadOnly) != 0);
        edit->setText(c.text);
        w = edit;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = CreateCombo(c, this, px);
        px.setHeight(combo->property("closedHeight").toInt());
        w = combo;
        break;
    }
    case ControlKind::ListBox: {
        // Shows a page's own model once the page sets one; until then a
        // list of strings (AddListString).
        auto* list = new QListView(this);
        list->setModel(new QStringListModel(list));
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // A sorted list box sorts what is added (AddListString), not what is
        // inserted at an index, so Qt's own sorting stays off.
        list->setProperty("sorted", (c.style & StyleSorted) != 0);
        list->setFrameShape((c.style & StyleBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
        list->setVerticalScrollBarPolicy((c.style & StyleVScroll) ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
        w = list;
        break;
    }
    case ControlKind::ListView:
        w = CreateListView(c, this);
        break;
    case ControlKind::TrackBar: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setTickPosition(QSlider::NoTicks);
        slider->setRange(0, 100);
        w = slider;
        break;
    }
    case ControlKind::Progress: {
        auto* progress = new QProgressBar(this);
        progress->setRange(0, 100);
        progress->setValue(0);
        progress->setTextVisible(false);
        w = progress;
        break;
    }
    }
    w->setGeometry(px);
    w->setProperty("controlId", c.id);
    w->setProperty("dialogRect", c.rect);
    if (c.id != IDC_STATIC)
        w->setObjectName(QStringLiteral("id%1").arg(c.id));
    // The first control of a template lies on top, as on Windows: frames and
    // pictures listed later stay under the controls they surround.
    w->lower();
    return w;
}

} // namespace ui
