// The join page's merge: Begin asks for the output file and starts a join
// job on the page's encoder; the graph's events end it, a 128 ms timer moves
// the progress bar, and Stop keeps what was joined so far.

#include "JoinDlg.h"

#include "EncoderSettingsDlg.h"
#include "FileDialogs.h"
#include "FileNames.h"
#include "GraphEventBridge.h"
#include "JoinDlgIds.h"
#include "JoinJob.h"
#include "MessageBox.h"
#include "media/filters/LameEncoder.h"

#include <QApplication>
#include <QProgressBar>

#include <filesystem>

using namespace join_ids;

namespace {

constexpr const char* kSaveFilter = QT_TRANSLATE_NOOP("CJoinDlg", "Mp3 File(*.mp3)|*.MP3|");
constexpr int kProgressPeriodMs = 128;

// An engine's reason as a sentence.
QString Sentence(const std::string& reason)
{
    QString text = ui::FileNameFromBytes(reason);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

bool CJoinDlg::CheckListForJoin()
{
    if (m_files.Count() == 0) {
        ui::MessageBox(this, tr("There are no files to join. Add MP3 or WAV files to the list first."),
                       QString(), ui::MessageIcon::Warning);
        return false;
    }
    for (const CJoinListModel::Entry& entry : m_files.Entries()) {
        const QString& path = entry.path;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(ui::FileNameBytes(path), ec)) {
            ui::MessageBox(this, tr("Cannot find %1.\nRemove it from the list or put it back, then begin again.")
                                     .arg(path),
                           QString(), ui::MessageIcon::Warning);
            return false;
        }
        if (entry.duration <= 0) {
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
        ui::GetSaveFileName(this, tr(kSaveFilter), QStringLiteral("mp3"),
                            QString::fromLatin1(ui::kJoinSaveFolderKey));
    if (!path)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    JoinRequest request;
    request.inputs = m_files.Paths();
    request.durations = m_files.Durations();
    request.outputPath = ui::FileNameBytes(*path);
    request.overwrite = true;
    request.encoder = m_encoder;
    request.tags = m_tagChoices;
    auto job = std::make_unique<CJoinJob>(std::move(request));
    const JobResult built = job->Build();
    QApplication::restoreOverrideCursor();
    if (!built) {
        ui::MessageBox(this, Sentence(built.Reason()), tr("Error"), ui::MessageIcon::Error);
        return;
    }
    // A bit rate the output's sample rate cannot carry is lowered by the
    // encoder; say so before it happens.
    if (IAudioEncoderProperties* properties = GetEncoderProperties(m_encoder)) {
        std::int32_t kbps = 0;
        const std::int32_t hz = properties->EffectiveSampleRate();
        const QString note = SUCCEEDED(properties->get_Bitrate(&kbps)) && hz > 0
                                 ? CEncoderSettingsDlg::BitRateNote(kbps, hz)
                                 : QString();
        if (!note.isEmpty())
            ui::MessageBox(this, note, QString(), ui::MessageIcon::Information);
    }
    // Tags that cannot be read are told before the join, which goes on without them.
    QStringList tagWarnings;
    for (const std::string& line : job->TagWarnings())
        tagWarnings << Sentence(line);
    if (!tagWarnings.isEmpty())
        ui::MessageBox(this, tagWarnings.join(QLatin1Char('\n')), QString(), ui::MessageIcon::Information);
    job->SetNotify(m_bridge->Rearm());
    if (const JobResult started = job->Start(); !started) {
        ui::MessageBox(this, Sentence(started.Reason()), tr("Error"), ui::MessageIcon::Error);
        return;
    }
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
    if (HandleGraphEvents() == JoinState::Ended)
        EnableControls(true);
    return true;
}

CJoinDlg::JoinState CJoinDlg::HandleGraphEvents()
{
    if (!m_job)
        return JoinState::Running;
    const JobStatus status = m_job->WaitStep(0);
    if (status == JobStatus::Running)
        return JoinState::Running;
    // Only a join that completed is put in place and called finished; a
    // failed one is removed and says why.
    const std::unique_ptr<CJoinJob> job = std::move(m_job);
    const JobResult finished = job->Finish(status);
    EndJoin();
    if (finished)
        ui::MessageBox(this, tr("Finished"));
    else if (finished.Failure() != JobFailure::Stopped)
        ui::MessageBox(this, Sentence(finished.Reason()), tr("Error"), ui::MessageIcon::Error);
    return JoinState::Ended;
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
        return; // no encoder: nothing to set
    CEncoderSettingsDlg settings(m_encoder, m_files.Paths(), m_tagChoices, this);
    if (settings.exec() == QDialog::Accepted)
        m_tagChoices = settings.TagChoices();
}
