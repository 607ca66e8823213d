#include "ConvertDlg.h"

#include "ConvertDlgIds.h"
#include "FileNames.h"
#include "GraphEventBridge.h"
#include "MessageBox.h"
#include "OutputNaming.h"
#include "SplitJob.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <charconv>
#include <string>

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

// kHz text to Hz: the leading decimal number (0 when there is none) times
// 1000, truncated; "44.1" gives 44100, "22.05" 22050. Read without the
// user's locale, which may write the decimal point as a comma.
qint32 KiloHertzTextToHz(const QString& text)
{
    const std::string s = text.trimmed().toStdString();
    const char* begin = s.data();
    const char* end = s.data() + s.size();
    if (begin != end && *begin == '+')
        ++begin;
    double kiloHertz = 0;
    std::from_chars(begin, end, kiloHertz);
    const double hz = kiloHertz * 1000.0;
    if (!(hz > -2147483648.0 && hz < 2147483648.0)) // also NaN and infinity
        return 0;
    return static_cast<qint32>(hz);
}

} // namespace

CConvertDlg::CConvertDlg(QWidget* parent)
    : CDialogPage(ConvertDlgTemplate(), parent)
{
    // The controls the dialog keeps at hand, as its data exchange binds them.
    m_cbSampleRate = DlgItem<QComboBox>(IDC_SAMPLE_RATE);
    m_cbBitRate = DlgItem<QComboBox>(IDC_BIT_RATE);
    m_progress = DlgItem<QProgressBar>(IDC_PROGRESS);
    m_graphEvents = new ui::CGraphEventBridge(this, WM_CONVERT_GRAPHEVENT);

    // White page (the page base) with black label text, whatever the
    // desktop's colour scheme.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

CConvertDlg::~CConvertDlg()
{
    // The split page or the program going away during a run: the piece
    // stops at once and its partial file goes.
    ReleaseJob();
}

bool CConvertDlg::OnInitDialog()
{
    // The encoder settings only matter for MP3 output.
    for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE, IDC_BIT_RATE_LABEL, IDC_SAMPLE_RATE_LABEL})
        ShowWindow(id, m_bMp3Output);
    // Frames can be kept only from MPEG audio into MP3.
    ShowWindow(IDC_KEEP_ORIGINAL,
               m_bMp3Output && !m_wszSourcePath.isEmpty() && SourceIsMpegAudio(ui::FileNameBytes(m_wszSourcePath)));
    m_strOutputName = ui::FileNameFromBytes(FitOutputName(ui::FileNameBytes(m_strOutputName), m_bMp3Output));

    SelectString(m_cbBitRate, QString::number(kDefaultMp3Bitrate));
    SelectString(m_cbSampleRate, QString::fromStdString(HzToKiloHertzText(kDefaultMp3SampleRate)));

    m_btnStart.SetupStandardSkin(IDC_START, this, IDB_START_HOVER, IDB_START, QString());
    m_btnCancel.SetupStandardSkin(IDC_CANCEL_SPLIT, this, IDB_CANCEL_HOVER, IDB_CANCEL, QString());
    // Their pictures carry their captions, and they have no tips to say.
    m_btnStart.setAccessibleName(tr("Split"));
    m_btnStart.setAccessibleDescription(tr("Writes the piece between the two breakpoints"));
    m_btnCancel.setAccessibleName(tr("Cancel"));
    m_btnCancel.setAccessibleDescription(tr("Stops the split, or closes this page"));

    m_progress->setRange(0, kSplitProgressRange);

    OnClicked(IDC_START, [this] { OnStartButton(); });
    OnClicked(IDC_CANCEL_SPLIT, [this] { OnCancelButton(); });
    OnClicked(IDC_KEEP_ORIGINAL, [this] { OnKeepOriginal(); });
    return true;
}

bool CConvertDlg::KeepOriginalSound() const
{
    return GetDlgItem(IDC_KEEP_ORIGINAL)->isVisibleTo(this) && IsDlgButtonChecked(IDC_KEEP_ORIGINAL);
}

void CConvertDlg::OnKeepOriginal()
{
    m_bCopyEveryPiece = false;
    QString text;
    if (KeepOriginalSound()) {
        // Checked before the run from the source's first frame and each
        // piece's length; the run re-encodes what cannot be copied.
        const std::string source = ui::FileNameBytes(m_wszSourcePath);
        QStringList pieces;
        std::string reason;
        for (std::size_t i = 0; i + 1 < m_breakpoints.size(); ++i) {
            const std::string why =
                Mp3CopyRefusal(source, MsToTime(m_breakpoints[i].timeMs), MsToTime(m_breakpoints[i + 1].timeMs));
            if (why.empty())
                continue;
            pieces << QString::number(i + 1);
            reason = why;
        }
        m_bCopyEveryPiece = pieces.isEmpty();
        if (pieces.size() + 1 == static_cast<int>(m_breakpoints.size()))
            text = tr("Re-encoded: %1").arg(QString::fromStdString(reason));
        else if (!pieces.isEmpty())
            text = tr("Re-encoded (piece %1): %2").arg(pieces.join(QStringLiteral(", ")),
                                                                  QString::fromStdString(reason));
    }
    SetDlgItemText(IDC_TIME_RANGE, text);
    for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE})
        EnableWindow(id, !m_bCopyEveryPiece);
}

void CConvertDlg::OnStartButton()
{
    if (IsRunning())
        return;
    if (m_bCopyEveryPiece) {
        // The rates are not asked for; they stand by for a piece whose
        // frames turn out not to be copyable after all.
        m_nSampleRate = KiloHertzTextToHz(GetDlgItemText(IDC_SAMPLE_RATE));
        if (!IsMp3SampleRate(m_nSampleRate))
            m_nSampleRate = kDefaultMp3SampleRate;
        m_nBitRate = LegalMp3Bitrate(GetDlgItemText(IDC_BIT_RATE).toInt(), m_nSampleRate);
        RunSplit();
        return;
    }
    const QString sampleRateText = GetDlgItemText(IDC_SAMPLE_RATE);
    if (sampleRateText.isEmpty()) {
        ui::AfxMessageBox(tr("Please select the Sample Rate(KHz)"));
        m_cbSampleRate->setFocus();
        return;
    }
    m_nSampleRate = KiloHertzTextToHz(sampleRateText);
    // Typed text that is no MP3 rate would only fail inside the encoder.
    if (!IsMp3SampleRate(m_nSampleRate)) {
        ui::AfxMessageBox(tr("\"%1\" is not a sample rate of MP3 audio. Please choose 8, 11.025, "
                             "12, 16, 22.05, 24, 32, 44.1 or 48 kHz.")
                              .arg(sampleRateText));
        m_cbSampleRate->setFocus();
        m_cbSampleRate->lineEdit()->selectAll();
        return;
    }

    const QString bitRateText = GetDlgItemText(IDC_BIT_RATE);
    if (bitRateText.isEmpty()) {
        ui::AfxMessageBox(tr("Please select the Bit Rate(kbps)"));
        m_cbBitRate->setFocus();
        return;
    }
    m_nBitRate = bitRateText.toInt();

    // Lower sample rates carry lower bit rates; the encoder would take the
    // nearest it can, so the user hears of it first and may go back.
    if (m_bMp3Output) {
        const qint32 legal = LegalMp3Bitrate(m_nBitRate, m_nSampleRate);
        if (legal != m_nBitRate) {
            const QString text = tr("At %1 kHz an MP3 file cannot carry %2 kbps: the piece will "
                                    "be written at %3 kbps.")
                                     .arg(QString::fromStdString(HzToKiloHertzText(m_nSampleRate)))
                                     .arg(m_nBitRate)
                                     .arg(legal);
            if (ui::MessageBox(this, text, QString(), ui::MessageIcon::Information,
                               ui::MessageButtons::OkCancel)
                != ui::IDOK) {
                m_cbBitRate->setFocus();
                return;
            }
            m_nBitRate = legal;
        }
    }
    RunSplit();
}

void CConvertDlg::OnCancelButton()
{
    OnCancel();
}

void CConvertDlg::OnOK()
{
    if (IsRunning())
        return;
    CDialogPage::OnOK();
}

void CConvertDlg::OnCancel()
{
    ReleaseJob();
    CDialogPage::OnCancel();
}

void CConvertDlg::RunSplit()
{
    m_nPairIndex = 0;
    m_tagWarnings.clear();
    if (m_breakpoints.size() < 2) {
        OnOK(); // nothing between two breakpoints to write
        return;
    }
    EnableSettings(false);
    m_progress->setValue(0);
    if (!ExtractSegment(m_nPairIndex))
        return;
    SetTimer(IDT_SPLIT_PROGRESS, kSplitProgressPeriodMs);
}

bool CConvertDlg::ExtractSegment(int& index)
{
    const int i = index++;
    const Breakpoint& from = m_breakpoints[std::size_t(i)];
    const Breakpoint& to = m_breakpoints[std::size_t(i) + 1];

    SplitPieceRequest request;
    // Names go to the engine as the bytes the file system holds.
    request.sourcePath = ui::FileNameBytes(m_wszSourcePath);
    request.outputDir = ui::FileNameBytes(m_strOutputDir);
    request.outputName = ui::FileNameBytes(m_strOutputName);
    request.mp3Output = m_bMp3Output;
    request.copy = KeepOriginalSound() ? SplitCopy::WhenPossible : SplitCopy::Never;
    request.bitRate = m_nBitRate;
    request.sampleRate = m_nSampleRate;
    request.start = MsToTime(from.timeMs);
    request.stop = MsToTime(to.timeMs);
    request.pieceIndex = i;

    auto job = std::make_unique<CSplitJob>(std::move(request));
    if (const JobResult built = job->Build(); !built) {
        FailRun(ui::FileNameFromBytes(built.Reason()));
        return false;
    }
    SetDlgItemText(IDC_FILE_NAME, QDir::toNativeSeparators(ui::FileNameFromBytes(job->OutputPath())));
    SetDlgItemText(IDC_TIME_RANGE, tr("Time betwen:") + from.text + tr(" and ") + to.text);

    // The graph's events arrive as posted messages; those of an earlier
    // piece's graph are dropped.
    job->SetNotify(m_graphEvents->Rearm());
    m_job = std::move(job);
    m_job->Run(); // a run that cannot start ends with an abort event
    SetDlgItemText(IDC_FILE_NAME, GetDlgItemText(IDC_FILE_NAME) + tr("   Please waiting ..."));
    return true;
}

void CConvertDlg::OnTimer(int id)
{
    if (id == IDT_SPLIT_PROGRESS)
        CheckRunningPiece();
}

bool CConvertDlg::OnMessage(int message, quintptr, qintptr)
{
    if (message != WM_CONVERT_GRAPHEVENT)
        return false;
    CheckRunningPiece();
    return true;
}

void CConvertDlg::CheckRunningPiece()
{
    if (!m_job)
        return;
    m_progress->setValue(m_job->Progress());
    if (const JobStatus status = m_job->WaitStep(0); status != JobStatus::Running)
        OnPieceEnded(status);
}

void CConvertDlg::OnPieceEnded(JobStatus status)
{
    m_graphEvents->Detach();
    if (const JobResult finished = m_job->Finish(status); !finished) {
        m_job.reset();
        FailRun(ui::FileNameFromBytes(finished.Reason()));
        return;
    }
    for (const std::string& line : m_job->TagWarnings())
        if (const QString text = ui::FileNameFromBytes(line); !m_tagWarnings.contains(text))
            m_tagWarnings << text;
    const QString written = ui::FileNameFromBytes(m_job->OutputPath());
    m_job.reset();
    m_progress->setValue(kSplitProgressRange);
    if (m_nPairIndex + 1 >= static_cast<int>(m_breakpoints.size())) {
        EndRun(written);
        return;
    }
    m_progress->setValue(0);
    if (!ExtractSegment(m_nPairIndex))
        return; // it has said why and ended the run
}

void CConvertDlg::EndRun(const QString& lastPiece)
{
    KillTimer(IDT_SPLIT_PROGRESS);
    if (m_tagWarnings.isEmpty()) {
        OnOK();
        return;
    }
    // The run is over: the last piece's name without the wait, and the
    // job's own words as a sentence under the bar, on as many lines as they
    // take (the window grows to hold them).
    SetDlgItemText(IDC_FILE_NAME, QDir::toNativeSeparators(lastPiece));
    QString text = m_tagWarnings.join(QStringLiteral("; "));
    text[0] = text[0].toUpper();
    text += QLatin1Char('.');
    auto* label = DlgItem<QLabel>(IDC_TIME_RANGE);
    label->setWordWrap(true);
    label->setText(text);
    label->setAccessibleDescription(text);
    if (const int extra = label->heightForWidth(label->width()) - label->height(); extra > 0) {
        label->resize(label->width(), label->height() + extra);
        setFixedSize(width(), height() + extra);
    }
    m_btnCancel.setFocus();
}

void CConvertDlg::ReleaseJob()
{
    KillTimer(IDT_SPLIT_PROGRESS);
    if (!m_job)
        return;
    m_graphEvents->Detach();
    m_job->Stop(false);
    m_job.reset();
}

void CConvertDlg::FailRun(const QString& reason)
{
    ReleaseJob();
    m_progress->setValue(0);
    SetDlgItemText(IDC_FILE_NAME, tr("FileName:"));
    EnableSettings(true);
    ui::MessageBox(this, tr("The piece could not be written: %1.").arg(reason),
                   tr("Error"), ui::MessageIcon::Error);
    m_btnStart.setFocus();
}

void CConvertDlg::EnableSettings(bool enable)
{
    for (int id : {IDC_START, IDC_KEEP_ORIGINAL})
        EnableWindow(id, enable);
    for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE})
        EnableWindow(id, enable && !m_bCopyEveryPiece);
}
