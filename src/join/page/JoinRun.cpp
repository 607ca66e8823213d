// The join page's merge: Begin asks for the output file and starts a join
// job on the page's encoder; the graph's events end it, a 128 ms timer moves
// the progress bar, and Stop keeps what was joined so far.

#include "JoinDlg.h"

#include "EncoderSettingsDlg.h"
#include "FileDialogs.h"
#include "GraphEventBridge.h"
#include "JoinDlgIds.h"
#include "JoinEngine.h"
#include "MessageBox.h"
#include "media/filters/LameEncoder.h"
#include "media/graph/FilterGraph.h"
#include "media/render/MediaGraph.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressBar>

using namespace join_ids;

namespace {

constexpr const char* kSaveFilter = "Mp3 File(*.mp3)|*.MP3|";
constexpr int kProgressPeriodMs = 128;

// An engine's reason as a sentence.
QString Sentence(const std::string& reason)
{
    QString text = QString::fromStdString(reason);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

bool CJoinDlg::CheckListForJoin()
{
    if (m_files.empty()) {
        ui::MessageBox(this, tr("There are no files to join. Add MP3 or WAV files to the list first."),
                       QString(), ui::MessageIcon::Warning);
        return false;
    }
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const QString path = QString::fromStdString(m_files[i]);
        if (!QFileInfo(path).isFile()) {
            ui::MessageBox(this, tr("Cannot find %1.\nRemove it from the list or put it back, then begin again.")
                                     .arg(path),
                           QString(), ui::MessageIcon::Warning);
            return false;
        }
        if (m_durations[i] <= 0) {
            ui::MessageBox(this, tr("%1 holds no audio that can be read (its time is 00:00:00).\n"
                                    "Remove it from the list to join the others.")
                                     .arg(path),
                           QString(), ui::MessageIcon::Warning);
            return false;
        }
    }
    return true;
}

void CJoinDlg::OnBeginJoin()
{
    if (m_job || !CheckListForJoin())
        return;
    // The dialog asks before an existing file is replaced.
    const std::optional<QString> path =
        ui::GetSaveFileName(this, QString::fromLatin1(kSaveFilter), QStringLiteral("mp3"),
                            QString::fromLatin1(ui::kJoinSaveFolderKey));
    if (!path)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    JoinRequest request;
    request.inputs = m_files;
    request.durations = m_durations;
    request.outputPath = path->toStdString();
    request.overwrite = true;
    request.encoder = m_encoder;
    m_graph.reset(); // the last measurement's graph
    auto job = std::make_unique<CJoinJob>(std::move(request));
    const HRESULT built = job->Build();
    QApplication::restoreOverrideCursor();
    if (FAILED(built)) {
        ui::MessageBox(this, Sentence(job->LastError()), QStringLiteral("Error"), ui::MessageIcon::Error);
        return;
    }
    // A bit rate the output's sample rate cannot carry is lowered by the
    // encoder; say so before it happens.
    if (IAudioEncoderProperties* properties = GetEncoderProperties(m_encoder)) {
        std::int32_t kbps = 0;
        properties->get_Bitrate(&kbps);
        const std::int32_t hz = properties->EffectiveSampleRate();
        const QString note = hz > 0 ? CEncoderSettingsDlg::BitRateNote(kbps, hz) : QString();
        if (!note.isEmpty())
            ui::MessageBox(this, note, QString(), ui::MessageIcon::Information);
    }
    job->Events()->SetNotifyWindow(m_bridge->Rearm());
    job->Start();
    m_job = std::move(job);
    m_jobDuration = m_job->Duration();
    m_timerId = SetTimer(IDT_PROGRESS, kProgressPeriodMs);
    EnableControls(false);
}

void CJoinDlg::OnTimer(int id)
{
    if (id != m_timerId || m_jobDuration == 0 || !m_job)
        return;
    m_progress->setValue(static_cast<int>(m_job->Position() * 100 / m_jobDuration));
}

bool CJoinDlg::OnMessage(int message, quintptr, qintptr)
{
    if (message != WM_GRAPHNOTIFY)
        return false;
    if (HandleGraphEvents() == 2)
        EnableControls(true);
    return true;
}

int CJoinDlg::HandleGraphEvents()
{
    if (!m_job)
        return 0;
    const std::shared_ptr<IMediaEventEx> events = m_job->Events();
    if (!events)
        return 0;
    long code = 0;
    long param1 = 0;
    long param2 = 0;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
        events->FreeEventParams(code, param1, param2);
        if (code != EC_COMPLETE && code != EC_USERABORT && code != EC_ERRORABORT)
            continue;
        // Only a join that completed is put in place and called finished;
        // a failed one is removed and says why.
        const std::unique_ptr<CJoinJob> job = std::move(m_job);
        const HRESULT hr = job->Finish(code);
        EndJoin();
        if (SUCCEEDED(hr))
            ui::MessageBox(this, QStringLiteral("Finished"));
        else if (hr != E_ABORT)
            ui::MessageBox(this, Sentence(job->LastError()), QStringLiteral("Error"), ui::MessageIcon::Error);
        return 2;
    }
    return 0;
}

void CJoinDlg::OnStopJoin()
{
    if (m_job) {
        m_bridge->Detach();
        // The graph stops with the MP3 finished: what was joined so far is
        // kept, unless it would replace a file that was there before.
        m_job->Stop(true);
        m_job.reset();
    }
    EndJoin();
}

void CJoinDlg::EndJoin()
{
    m_bridge->Detach();
    if (m_timerId) {
        KillTimer(m_timerId);
        m_timerId = 0;
    }
    m_jobDuration = 0;
    m_progress->setValue(0);
    EnableControls(true);
}

void CJoinDlg::OnSettings()
{
    if (!GetEncoderProperties(m_encoder))
        return;
    CEncoderSettingsDlg settings(m_encoder, this);
    settings.exec();
}
