#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTreeView>
#include <gtest/gtest.h>

namespace testsupport {

MessageBoxRecorder::MessageBoxRecorder(int answer)
{
    m_previous = ui::SetMessageBoxHook([this, answer](const ui::MessageBoxRequest& request) {
        m_boxes.push_back(request);
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    ui::SetMessageBoxHook(std::move(m_previous));
}

FileDialogAnswers::FileDialogAnswers()
{
    m_previous = ui::SetFileDialogHook([this](const ui::FileDialogRequest& request) {
        m_requests.push_back(request);
        std::optional<QStringList> answer;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        return answer;
    });
}

FileDialogAnswers::~FileDialogAnswers()
{
    ui::SetFileDialogHook(std::move(m_previous));
}

ModalRunRecorder::ModalRunRecorder(Play play) : m_play(std::move(play))
{
    m_previous = ui::SetModalRunHook([this](ui::CDialogPage& page) {
        m_runs << QString::fromLatin1(page.metaObject()->className());
        return m_play ? m_play(page) : ui::IDOK;
    });
}

ModalRunRecorder::~ModalRunRecorder()
{
    ui::SetModalRunHook(std::move(m_previous));
}

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QWidget* ControlAtRow(ui::CDialogPage& page, int index)
{
    const ui::DialogControl& row = page.Template().controls.at(index);
    if (row.id != ui::IDC_STATIC)
        return page.GetDlgItem(row.id);
    for (QObject* child : page.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->property("controlId").toInt() == ui::IDC_STATIC
            && w->property("dialogRect").toRect() == row.rect)
            return w;
    }
    return nullptr;
}

namespace {

bool KindMatches(const ui::DialogControl& row, QWidget* w)
{
    using ui::ControlKind;
    switch (row.kind) {
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::Icon: return qobject_cast<QLabel*>(w) != nullptr;
    case ControlKind::GroupBox: return qobject_cast<QGroupBox*>(w) != nullptr;
    case ControlKind::RadioButton: return qobject_cast<QRadioButton*>(w) != nullptr;
    case ControlKind::CheckBox: return qobject_cast<QCheckBox*>(w) != nullptr;
    case ControlKind::PushButton:
        return qobject_cast<QAbstractButton*>(w) != nullptr && !qobject_cast<QRadioButton*>(w)
               && !qobject_cast<QCheckBox*>(w);
    case ControlKind::Edit: return qobject_cast<QLineEdit*>(w) != nullptr;
    case ControlKind::ComboBox: return qobject_cast<QComboBox*>(w) != nullptr;
    case ControlKind::ListBox: return qobject_cast<QListView*>(w) != nullptr;
    case ControlKind::ListView: return qobject_cast<QTreeView*>(w) != nullptr;
    case ControlKind::TrackBar: return qobject_cast<QSlider*>(w) != nullptr;
    case ControlKind::Progress: return qobject_cast<QProgressBar*>(w) != nullptr;
    }
    return false;
}

// Every line of a label or radio button is drawn whole inside its
// rectangle: the page font must not clip a template's text.
void ExpectTextFits(const ui::DialogControl& row, QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    int room = w->width();
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        room -= radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio)
              + radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio);
    }
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        room -= check->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check)
              + check->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check);
    }
    const QStringList lines = row.text.split(QLatin1Char('\n'));
    for (const QString& line : lines)
        EXPECT_LE(fm.horizontalAdvance(line), room) << line.toStdString();
    EXPECT_LE(fm.height() * lines.size(), w->height()) << row.text.toStdString();
}

} // namespace

void ExpectPageMatchesTemplate(ui::CDialogPage& page)
{
    const ui::DialogTemplate& t = page.Template();
    EXPECT_EQ(page.size(), QSize(t.size.width() * 2, t.size.height() * 2));
    for (int i = 0; i < static_cast<int>(t.controls.size()); ++i) {
        const ui::DialogControl& row = t.controls[i];
        SCOPED_TRACE(QStringLiteral("template %1 row %2 id %3")
                         .arg(t.resourceId).arg(i).arg(row.id).toStdString());
        QWidget* w = ControlAtRow(page, i);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(KindMatches(row, w)) << w->metaObject()->className();
        if (row.id != ui::IDC_STATIC) {
            EXPECT_EQ(w->property("controlId").toInt(), row.id);
            EXPECT_EQ(w->objectName(), QStringLiteral("id%1").arg(row.id));
        }
        const QRect px(row.rect.x() * 2, row.rect.y() * 2, row.rect.width() * 2,
                       row.rect.height() * 2);
        if (row.kind == ui::ControlKind::ComboBox) {
            // The template height is the dropped list's; the closed box is
            // shorter and starts at the same place.
            EXPECT_EQ(w->pos(), px.topLeft());
            EXPECT_EQ(w->width(), px.width());
            EXPECT_LE(w->height(), px.height());
        } else {
            EXPECT_EQ(w->geometry(), px);
        }
        if (row.kind == ui::ControlKind::Static || row.kind == ui::ControlKind::RadioButton
            || row.kind == ui::ControlKind::CheckBox) {
            EXPECT_EQ(page.GetDlgItemText(row.id), row.id == ui::IDC_STATIC ? QString() : row.text);
            if (auto* label = qobject_cast<QLabel*>(w)) {
                EXPECT_EQ(label->text(), row.text);
            }
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_EQ(button->text(), row.text);
            }
            ExpectTextFits(row, w);
        }
    }
}

} // namespace testsupport
