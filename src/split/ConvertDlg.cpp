#include "ConvertDlg.h"

#include "ConvertDlgIds.h"
#include "SplitEngine.h"

#include <QComboBox>
#include <QProgressBar>

using namespace convert_ids;

namespace {

// Selects the first item that begins with `text`, as a combo box's
// select-string does; an editable box shows the item in its edit field.
void SelectString(QComboBox* combo, const QString& text)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

} // namespace

CConvertDlg::CConvertDlg(QWidget* parent)
    : CDialogPage(ConvertDlgTemplate(), parent)
{
}

CConvertDlg::~CConvertDlg() = default;

bool CConvertDlg::OnInitDialog()
{
    // The encoder settings only matter for MP3 output.
    for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE, IDC_BIT_RATE_LABEL, IDC_SAMPLE_RATE_LABEL})
        ShowWindow(id, m_bMp3Output);
    m_strOutputName = QString::fromStdString(FitOutputName(m_strOutputName.toStdString(), m_bMp3Output));

    if (auto* bitRate = DlgItem<QComboBox>(IDC_BIT_RATE))
        SelectString(bitRate, QString::number(kDefaultMp3Bitrate));
    if (auto* sampleRate = DlgItem<QComboBox>(IDC_SAMPLE_RATE))
        SelectString(sampleRate, QString::fromStdString(HzToKiloHertzText(kDefaultMp3SampleRate)));

    m_btnStart.SetupStandardSkin(IDC_START, this, IDB_START_HOVER, IDB_START, QString());
    m_btnCancel.SetupStandardSkin(IDC_CANCEL_SPLIT, this, IDB_CANCEL_HOVER, IDB_CANCEL, QString());

    if (auto* progress = DlgItem<QProgressBar>(IDC_PROGRESS))
        progress->setRange(0, kSplitProgressRange);

    OnClicked(IDC_CANCEL_SPLIT, [this] { OnCancel(); });
    return true;
}
