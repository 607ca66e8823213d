#include "TracksToolDialogs.h"

#include "MessageBox.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

QString SpokenName(const QString& text)
{
    QString name = text;
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1String("...")))
        name.chop(3);
    else if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

QLabel* LabelFor(const QString& text, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    field->setAccessibleName(SpokenName(text));
    return label;
}

QPushButton* MakeButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setAccessibleName(SpokenName(text));
    button->setAutoDefault(false);
    return button;
}

namespace {

void AddRow(QFormLayout* form, const QString& text, QWidget* field)
{
    form->addRow(LabelFor(text, field, field->parentWidget()), field);
}

} // namespace

SilenceDialog::SilenceDialog(double suggestedDb, Find find, QWidget* parent)
    : QDialog(parent), m_find(std::move(find))
{
    setWindowTitle(tr("Find silences"));
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_threshold = new QDoubleSpinBox(this);
    m_threshold->setRange(-120.0, 0.0);
    m_threshold->setDecimals(1);
    m_threshold->setSuffix(tr(" dB"));
    m_threshold->setValue(suggestedDb);
    m_threshold->setToolTip(tr("Sound quieter than this counts as silence; suggested: %1 dB, "
                               "from the file's own noise floor")
                                .arg(suggestedDb, 0, 'f', 1));
    AddRow(form, tr("&Threshold:"), m_threshold);
    m_threshold->setAccessibleDescription(m_threshold->toolTip());
    m_minLength = new QDoubleSpinBox(this);
    m_minLength->setRange(0.05, 60.0);
    m_minLength->setDecimals(2);
    m_minLength->setSingleStep(0.1);
    m_minLength->setSuffix(tr(" s"));
    m_minLength->setValue(1.0);
    AddRow(form, tr("&Minimum length:"), m_minLength);
    m_middle = new QRadioButton(tr("Cut in the &middle of each silence"), this);
    m_trim = new QRadioButton(tr("T&rim the silence off the tracks"), this);
    m_middle->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(m_middle);
    group->addButton(m_trim);
    form->addRow(m_middle);
    form->addRow(m_trim);
    root->addLayout(form);
    m_report = new QLabel(this);
    m_report->setWordWrap(true);
    m_report->setAccessibleName(tr("Result"));
    m_report->setMinimumWidth(360);
    root->addWidget(m_report);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* findButton = buttons->addButton(tr("&Find"), QDialogButtonBox::ActionRole);
    findButton->setToolTip(tr("Find the silences and show them on the waveform"));
    findButton->setAccessibleName(tr("Find"));
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Use these cuts"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("Use these cuts"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
    root->addWidget(buttons);
    connect(findButton, &QPushButton::clicked, this, &SilenceDialog::OnFind);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!m_found)
            OnFind();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A changed setting makes the shown result stale.
    const auto stale = [this] { m_found = false; };
    connect(m_threshold, &QDoubleSpinBox::valueChanged, this, stale);
    connect(m_minLength, &QDoubleSpinBox::valueChanged, this, stale);
    connect(m_trim, &QRadioButton::toggled, this, stale);
}

double SilenceDialog::ThresholdDb() const
{
    return m_threshold->value();
}

double SilenceDialog::MinSeconds() const
{
    return m_minLength->value();
}

bool SilenceDialog::Trim() const
{
    return m_trim->isChecked();
}

void SilenceDialog::OnFind()
{
    m_report->setText(m_find(ThresholdDb(), MinSeconds(), Trim()));
    m_found = true;
}

EqualPartsDialog::EqualPartsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Equal parts"));
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_byCount = new QRadioButton(tr("&Number of parts:"), this);
    m_count = new QSpinBox(this);
    m_count->setRange(2, 999);
    m_count->setValue(4);
    m_count->setAccessibleName(tr("Number of parts"));
    form->addRow(m_byCount, m_count);
    m_byLength = new QRadioButton(tr("&Every (hh:mm:ss):"), this);
    m_every = new QLineEdit(QStringLiteral("00:30:00"), this);
    m_every->setAccessibleName(tr("Length of a part"));
    form->addRow(m_byLength, m_every);
    auto* group = new QButtonGroup(this);
    group->addButton(m_byCount);
    group->addButton(m_byLength);
    m_byCount->setChecked(true);
    m_snap = new QDoubleSpinBox(this);
    m_snap->setRange(0.0, 600.0);
    m_snap->setDecimals(1);
    m_snap->setSuffix(tr(" s"));
    m_snap->setValue(0.0);
    m_snap->setToolTip(tr("Move each cut to the middle of the nearest silence within this distance (0: do not)"));
    AddRow(form, tr("&Snap to a silence within ±:"), m_snap);
    m_snap->setAccessibleDescription(m_snap->toolTip());
    root->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    root->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &EqualPartsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_count, &QSpinBox::valueChanged, m_byCount, [this] { m_byCount->setChecked(true); });
    connect(m_every, &QLineEdit::textEdited, m_byLength, [this] { m_byLength->setChecked(true); });
}

bool EqualPartsDialog::ByCount() const
{
    return m_byCount->isChecked();
}

int EqualPartsDialog::Count() const
{
    return m_count->value();
}

std::optional<tracktime::Time> EqualPartsDialog::Every() const
{
    return tracktime::Parse(m_every->text());
}

double EqualPartsDialog::SnapSeconds() const
{
    return m_snap->value();
}

void EqualPartsDialog::accept()
{
    if (!ByCount() && (!Every() || *Every() <= 0)) {
        ui::MessageBox(this, tr("Type the length of a part as hh:mm:ss, e.g. 00:30:00."), QString(),
                       ui::MessageIcon::Warning);
        return;
    }
    QDialog::accept();
}
