#include "EncoderSettingsDlg.h"

#include "MergeTagsBox.h"
#include "media/filters/LameEncoder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kMpeg1Bitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kMp3SampleRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

QComboBox* AddCombo(QFormLayout* form, const QString& label, const char* name)
{
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    combo->setAccessibleName(label);
    form->addRow(label, combo);
    return combo;
}

void SelectData(QComboBox* combo, int value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

QString KiloHertz(int hz)
{
    return QString::fromStdString(HzToKiloHertzText(hz)) + QStringLiteral(" kHz");
}

} // namespace

CEncoderSettingsDlg::CEncoderSettingsDlg(std::shared_ptr<CBaseFilter> encoder, const std::vector<std::string>& inputs,
                                         const tags::MergeTagChoices& tagChoices, QWidget* parent)
    : CEncoderSettingsDlg(std::move(encoder), parent)
{
    m_tagChoices = tagChoices;
    m_tags = new CMergeTagsBox(inputs, tagChoices);
    // Between the encoder's settings and the note.
    if (auto* column = qobject_cast<QVBoxLayout*>(layout()))
        column->insertWidget(1, m_tags);
}

tags::MergeTagChoices CEncoderSettingsDlg::TagChoices() const
{
    if (!m_tags)
        return m_tagChoices;
    tags::MergeTagChoices choices = m_tags->Choices();
    choices.write = m_tagChoices.write;
    return choices;
}

CEncoderSettingsDlg::CEncoderSettingsDlg(std::shared_ptr<CBaseFilter> encoder, QWidget* parent)
    : QDialog(parent), m_encoder(std::move(encoder)), m_properties(GetEncoderProperties(m_encoder))
{
    // The filter is named when it joins a graph; until then it is "Lame".
    const std::string name = m_encoder->QueryFilterInfo();
    setWindowTitle(name.empty() ? QStringLiteral("Lame") : QString::fromStdString(name));
    setModal(true);
    auto* form = new QFormLayout;
    m_bitRate = AddCombo(form, tr("Bit rate (CBR):"), "bitRate");
    for (int kbps : kMpeg1Bitrates)
        m_bitRate->addItem(QStringLiteral("%1 kbps").arg(kbps), kbps);
    m_sampleRate = AddCombo(form, tr("Sample rate:"), "sampleRate");
    m_sampleRate->addItem(tr("Same as the sources"), kSourceSampleRate);
    for (int hz : kMp3SampleRates)
        m_sampleRate->addItem(KiloHertz(hz), hz);
    m_channelMode = AddCombo(form, tr("Channels:"), "channelMode");
    m_channelMode->addItem(tr("Stereo"), static_cast<int>(Mp3ChannelMode::Stereo));
    m_channelMode->addItem(tr("Joint stereo"), static_cast<int>(Mp3ChannelMode::JointStereo));
    m_channelMode->addItem(tr("Mono"), static_cast<int>(Mp3ChannelMode::Mono));
    // LAME's algorithm quality: 9 is the fastest, 0 the best and slowest.
    m_quality = AddCombo(form, tr("Quality:"), "quality");
    for (int q = 9; q >= 0; --q) {
        const QString text = q == 9 ? tr("%1 (fastest)").arg(q)
                             : q == 0 ? tr("%1 (best, slowest)").arg(q)
                             : q == kDefaultMp3Quality ? tr("%1 (standard)").arg(q)
                                                       : QString::number(q);
        m_quality->addItem(text, q);
    }

    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_note);
    layout->addWidget(buttons);

    if (m_properties) {
        std::int32_t value = 0;
        if (SUCCEEDED(m_properties->get_Bitrate(&value)))
            SelectData(m_bitRate, value);
        if (SUCCEEDED(m_properties->get_SampleRate(&value)))
            SelectData(m_sampleRate, value);
        Mp3ChannelMode mode = Mp3ChannelMode::JointStereo;
        if (SUCCEEDED(m_properties->get_ChannelMode(&mode)))
            SelectData(m_channelMode, static_cast<int>(mode));
        if (SUCCEEDED(m_properties->get_Quality(&value)))
            SelectData(m_quality, value);
    }
    connect(m_bitRate, &QComboBox::currentIndexChanged, this, &CEncoderSettingsDlg::UpdateNote);
    connect(m_sampleRate, &QComboBox::currentIndexChanged, this, &CEncoderSettingsDlg::UpdateNote);
    UpdateNote();
}

QString CEncoderSettingsDlg::BitRateNote(int kbps, int hz)
{
    const int legal = LegalMp3Bitrate(kbps, hz);
    if (legal == kbps)
        return {};
    return tr("MP3 at %1 cannot carry %2 kbps: %3 kbps will be used.").arg(KiloHertz(hz)).arg(kbps).arg(legal);
}

void CEncoderSettingsDlg::UpdateNote()
{
    const int kbps = m_bitRate->currentData().toInt();
    const int hz = m_sampleRate->currentData().toInt();
    if (hz != kSourceSampleRate)
        m_note->setText(BitRateNote(kbps, hz));
    else if (kbps > LegalMp3Bitrate(kbps, 22050))
        m_note->setText(tr("Sources below 32 kHz cannot carry %1 kbps; before joining such files you are told "
                           "which bit rate will be used.").arg(kbps));
    else
        m_note->clear();
}

void CEncoderSettingsDlg::accept()
{
    if (m_properties) {
        // Sample rate first: what the bit rate can be depends on it. The
        // boxes offer only what the encoder takes; should it refuse one
        // all the same, the page stays open and says so.
        const bool taken =
            SUCCEEDED(m_properties->set_SampleRate(m_sampleRate->currentData().toInt()))
            && SUCCEEDED(m_properties->set_Bitrate(m_bitRate->currentData().toInt()))
            && SUCCEEDED(m_properties->set_ChannelMode(static_cast<Mp3ChannelMode>(m_channelMode->currentData().toInt())))
            && SUCCEEDED(m_properties->set_Quality(m_quality->currentData().toInt()));
        if (!taken) {
            m_note->setText(tr("The encoder does not take these settings."));
            return;
        }
    }
    QDialog::accept();
}
