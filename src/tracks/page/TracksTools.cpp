// The tracks page's tools: imports and exports of cue sheets and label
// files, Find silences and Equal parts with their dialogs.

#include "TracksTools.h"

#include "FileDialogs.h"
#include "MessageBox.h"
#include "TracksToolDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kCueFilter = QT_TRANSLATE_NOOP("CTracksPage", "Cue sheet (*.cue)|*.cue|*.*|*.*");
const char* const kLabelFilter = QT_TRANSLATE_NOOP("CTracksPage", "Label file (*.txt)|*.txt|*.*|*.*");
constexpr char kToolFolderKey[] = "folders/tracksSheets";

} // namespace

CTracksTools::CTracksTools(Target target, QWidget* parent) : QWidget(parent), m_target(target)
{
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    const struct {
        const char* text;
        const char* tip;
        void (CTracksTools::*handler)();
    } toolList[] = {
        {QT_TR_NOOP("Import cue sheet..."), QT_TR_NOOP("Take the tracks from a cue sheet"),
         &CTracksTools::OnImportCue},
        {QT_TR_NOOP("Import labels..."), QT_TR_NOOP("Take the tracks from a label file (start, end, title)"),
         &CTracksTools::OnImportLabels},
        {QT_TR_NOOP("Find silences..."), QT_TR_NOOP("Place the cuts in the pauses of the sound"),
         &CTracksTools::OnFindSilences},
        {QT_TR_NOOP("Equal parts..."), QT_TR_NOOP("Cut into parts of equal length"), &CTracksTools::OnEqualParts},
        {QT_TR_NOOP("Export cue sheet..."), QT_TR_NOOP("Save the tracks as a cue sheet for the source"),
         &CTracksTools::OnExportCue},
        {QT_TR_NOOP("Export labels..."), QT_TR_NOOP("Save the tracks as a label file"),
         &CTracksTools::OnExportLabels},
    };
    for (const auto& tool : toolList) {
        QPushButton* button = MakeButton(tr(tool.text), tr(tool.tip), this);
        connect(button, &QPushButton::clicked, this, [this, h = tool.handler] { (this->*h)(); });
        m_buttons << button;
        row->addWidget(button);
    }
    row->addStretch(1);
    root->addLayout(row);
    // On a line of its own that is always there, so nothing moves when a
    // note comes.
    m_noteLabel = new QLabel(this);
    m_noteLabel->setAccessibleName(tr("Note"));
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setMinimumHeight(m_noteLabel->fontMetrics().lineSpacing());
    root->addWidget(m_noteLabel);
}

QString CTracksTools::Note() const
{
    return m_noteLabel->text();
}

void CTracksTools::SetBusy(bool writing)
{
    for (QPushButton* button : m_buttons)
        button->setEnabled(!writing);
}

bool CTracksTools::ImportCue(const QString& path)
{
    const TracksEngine::Imported imported =
        m_target.engine.ReadCueSheet(path, m_target.source, m_target.duration);
    if (!imported.error.isEmpty()) {
        ui::MessageBox(window(), tr("The cue sheet cannot be used:\n%1").arg(imported.error), QString(),
                       ui::MessageIcon::Error);
        return false;
    }
    m_target.model.ReplaceAll(imported.tracks, tr("Import cue sheet"));
    m_noteLabel->setText(imported.notes.join(QLatin1Char('\n')));
    return true;
}

bool CTracksTools::ImportLabels(const QString& path)
{
    const TracksEngine::Imported imported = m_target.engine.ReadLabels(path, m_target.duration);
    if (!imported.error.isEmpty()) {
        ui::MessageBox(window(), tr("The label file cannot be used:\n%1").arg(imported.error), QString(),
                       ui::MessageIcon::Error);
        return false;
    }
    m_target.model.ReplaceAll(imported.tracks, tr("Import labels"));
    return true;
}

void CTracksTools::OnImportCue()
{
    if (const std::optional<QString> path =
            ui::GetOpenFileName(window(), tr(kCueFilter), QString::fromLatin1(kToolFolderKey)))
        ImportCue(*path);
}

void CTracksTools::OnImportLabels()
{
    if (const std::optional<QString> path =
            ui::GetOpenFileName(window(), tr(kLabelFilter), QString::fromLatin1(kToolFolderKey)))
        ImportLabels(*path);
}

void CTracksTools::OnExportCue()
{
    const std::optional<QString> path =
        ui::GetSaveFileName(window(), tr(kCueFilter), QStringLiteral("cue"), QString::fromLatin1(kToolFolderKey));
    if (!path)
        return;
    const QString error = m_target.engine.WriteCueSheet(*path, m_target.source, m_target.model.Tracks());
    if (!error.isEmpty())
        ui::MessageBox(window(), tr("The cue sheet cannot be written:\n%1").arg(error), QString(),
                       ui::MessageIcon::Error);
}

void CTracksTools::OnExportLabels()
{
    const std::optional<QString> path =
        ui::GetSaveFileName(window(), tr(kLabelFilter), QStringLiteral("txt"), QString::fromLatin1(kToolFolderKey));
    if (!path)
        return;
    const QString error = m_target.engine.WriteLabels(*path, m_target.model.Tracks());
    if (!error.isEmpty())
        ui::MessageBox(window(), tr("The label file cannot be written:\n%1").arg(error), QString(),
                       ui::MessageIcon::Error);
}

bool CTracksTools::ApplySilences(double thresholdDb, double minSeconds, bool trim)
{
    const TracksEngine::Silences silences =
        m_target.engine.FindSilences(thresholdDb, minSeconds, trim, m_target.duration);
    // Shaded as taken only when they were: fewer than two tracks change nothing.
    const bool taken = silences.tracks.size() >= 2 && m_target.model.ReplaceAll(silences.tracks, tr("Find silences"));
    m_target.wave.SetShaded(taken ? silences.found : std::vector<WaveformView::Stretch>{});
    return taken;
}

bool CTracksTools::ApplyEqualParts(int count, Time every, double snapSeconds)
{
    TracksEngine& engine = m_target.engine;
    const double threshold = engine.SuggestedThresholdDb().value_or(-50.0);
    return m_target.model.ReplaceAll(engine.EqualParts(count, every, snapSeconds, threshold, m_target.duration),
                                     tr("Equal parts"));
}

void CTracksTools::OnFindSilences()
{
    const std::optional<double> suggested = m_target.engine.SuggestedThresholdDb();
    if (!suggested) {
        ui::MessageBox(window(), tr("The waveform is still being read; find silences once it is complete."),
                       QString(), ui::MessageIcon::Information);
        return;
    }
    SilenceDialog dialog(
        *suggested,
        [this](double db, double seconds, bool trim) {
            const TracksEngine::Silences found = m_target.engine.FindSilences(db, seconds, trim, m_target.duration);
            // Shown, not yet taken: OK takes it.
            m_target.wave.SetShaded(found.found, true);
            return found.report;
        },
        window());
    if (dialog.exec() != QDialog::Accepted) {
        m_target.wave.SetShaded({});
        return;
    }
    ApplySilences(dialog.ThresholdDb(), dialog.MinSeconds(), dialog.Trim());
}

void CTracksTools::OnEqualParts()
{
    EqualPartsDialog dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Snapping needs the silences, known once the whole file is read.
    if (dialog.SnapSeconds() > 0 && !m_target.engine.SuggestedThresholdDb()) {
        ui::MessageBox(window(), tr("Equal parts can snap to silences only once the whole waveform has been read."),
                       QString(), ui::MessageIcon::Information);
        return;
    }
    ApplyEqualParts(dialog.ByCount() ? dialog.Count() : 0, dialog.ByCount() ? 0 : dialog.Every().value_or(0),
                    dialog.SnapSeconds());
}
