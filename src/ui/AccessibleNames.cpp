// Names that a screen reader says for a page's fields: the text of the label
// beside each one, which also becomes the label's buddy.

#include "DialogPage.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace ui {

namespace {

// Dialog units a label may stand off its field: above it (overlapping
// it horizontally) or to its left (overlapping it vertically).
constexpr int kMaxGapAbove = 10;
constexpr int kMaxGapLeft = 12;
// Templates let a label reach a little into its field's rectangle.
constexpr int kOverlapAllowed = 4;

bool IsField(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w)
        || qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSlider*>(w);
}

// How far label `l` lies from field `f` (dialog units), or -1 when it does
// not stand beside it.
int LabelDistance(const QRect& l, const QRect& f)
{
    const int lBottom = l.y() + l.height();
    const int lRight = l.x() + l.width();
    const bool overlapsAcross = l.x() < f.x() + f.width() && f.x() < lRight;
    const bool overlapsDown = l.y() < f.y() + f.height() && f.y() < lBottom;
    if (overlapsAcross && lBottom <= f.y() + kOverlapAllowed && f.y() - lBottom <= kMaxGapAbove)
        return std::max(0, f.y() - lBottom);
    if (overlapsDown && lRight <= f.x() + kOverlapAllowed && f.x() - lRight <= kMaxGapLeft)
        return std::max(0, f.x() - lRight);
    return -1;
}

// "Output Directory:" is said as "Output Directory"; a two-line label as one line.
QString SpokenLabel(const QString& text)
{
    QString spoken = text.simplified();
    spoken.remove(QLatin1Char('&'));
    if (spoken.endsWith(QLatin1Char(':')))
        spoken.chop(1);
    return spoken;
}

} // namespace

void CDialogPage::NameFieldsByLabels()
{
    QList<QLabel*> labels;
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (!label->text().isEmpty() && label->property("dialogRect").isValid())
            labels << label;
    for (QWidget* field : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!IsField(field) || !field->accessibleName().isEmpty() || !field->property("dialogRect").isValid())
            continue;
        const QRect f = field->property("dialogRect").toRect();
        QLabel* nearest = nullptr;
        int best = 0;
        for (QLabel* label : labels) {
            const int distance = LabelDistance(label->property("dialogRect").toRect(), f);
            if (distance >= 0 && (!nearest || distance < best)) {
                nearest = label;
                best = distance;
            }
        }
        if (!nearest)
            continue;
        nearest->setBuddy(field);
        field->setAccessibleName(SpokenLabel(nearest->text()));
        // An editable combo box takes the keyboard in its edit field, which
        // a screen reader meets on its own.
        if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(field->accessibleName());
    }
}

} // namespace ui
