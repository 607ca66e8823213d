// The tracks page's output settings and Write all: the group of settings,
// the progress line, and the run from its start to the box that tells how
// it ended.

#include "TracksOutputPanel.h"

#include "DialogConstants.h"
#include "FileDialogs.h"
#include "Help.h"
#include "MessageBox.h"
#include "TracksToolDialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using tracksoutput::kOutputFolderKey;

namespace {

constexpr char kTemplateKey[] = "tracks/nameTemplate";
constexpr char kDefaultTemplate[] = "{n} - {title}";
// The progress bar's range: a run's share in tenths of a percent.
constexpr int kProgressRange = 1000;
// How often a run is asked how it stands.
constexpr int kWritePollMs = 50;

} // namespace

CTracksOutputPanel::CTracksOutputPanel(TracksEngine& engine, const QString& source, const TrackListModel& model,
                                       std::function<void(bool)> busy, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_source(source), m_model(model), m_busy(std::move(busy))
{
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);

    auto* output = new QGroupBox(tr("Output"), this);
    auto* form = new QFormLayout(output);
    auto* folderRow = new QHBoxLayout;
    m_folderEdit = new QLineEdit(output);
    m_browseButton = MakeButton(tr("&Browse..."), tr("Choose the output folder"), output);
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(m_browseButton);
    form->addRow(LabelFor(tr("&Folder:"), m_folderEdit, output), folderRow);

    auto* nameRow = new QHBoxLayout;
    m_templateEdit = new QLineEdit(output);
    m_templateEdit->setToolTip(tr("{n} track number, {title}, {performer}, {source} the source's name"));
    m_templateEdit->setAccessibleDescription(m_templateEdit->toolTip());
    m_exampleLabel = new QLabel(output);
    m_exampleLabel->setAccessibleName(tr("First name"));
    m_exampleLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    nameRow->addWidget(m_templateEdit, 1);
    nameRow->addWidget(m_exampleLabel, 1);
    form->addRow(LabelFor(tr("&Names:"), m_templateEdit, output), nameRow);

    auto* formatRow = new QHBoxLayout;
    m_keepRadio = new QRadioButton(tr("&Keep the original sound"), output);
    m_keepRadio->setToolTip(tr("Copy the source's audio without re-encoding, cut to the sample"));
    m_mp3Radio = new QRadioButton(tr("MP&3"), output);
    m_wavRadio = new QRadioButton(tr("WA&V"), output);
    auto* group = new QButtonGroup(output);
    for (QRadioButton* r : {m_keepRadio, m_mp3Radio, m_wavRadio})
        group->addButton(r);
    m_keepRadio->setChecked(true);
    m_bitrateCombo = new QComboBox(output);
    for (int kbps : {320, 256, 224, 192, 160, 128, 112, 96, 80, 64})
        m_bitrateCombo->addItem(tr("%1 kbps").arg(kbps), kbps);
    m_bitrateCombo->setCurrentIndex(3);
    m_samplerateCombo = new QComboBox(output);
    for (int hz : {48000, 44100, 32000, 24000, 22050, 16000})
        m_samplerateCombo->addItem(tr("%1 Hz").arg(hz), hz);
    m_samplerateCombo->setCurrentIndex(1);
    // On Linux a screen reader names a combo box by its current value; the
    // visible labels are what tell it which box is which.
    m_bitrateLabel = LabelFor(tr("B&it rate:"), m_bitrateCombo, output);
    m_samplerateLabel = LabelFor(tr("S&ample rate:"), m_samplerateCombo, output);
    formatRow->addWidget(m_keepRadio);
    formatRow->addWidget(m_mp3Radio);
    formatRow->addWidget(m_bitrateLabel);
    formatRow->addWidget(m_bitrateCombo);
    formatRow->addWidget(m_samplerateLabel);
    formatRow->addWidget(m_samplerateCombo);
    formatRow->addWidget(m_wavRadio);
    formatRow->addStretch(1);
    auto* formatLabel = new QLabel(tr("Format:"), output);
    formatLabel->setBuddy(m_keepRadio);
    form->addRow(formatLabel, formatRow);
    m_formatNote = new QLabel(output);
    m_formatNote->setWordWrap(true);
    m_formatNote->setAccessibleName(tr("Format note"));
    form->addRow(QString(), m_formatNote);
    root->addWidget(output);

    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, kProgressRange);
    m_progress->setValue(0);
    m_progress->setAccessibleName(tr("Progress"));
    m_progressLabel = new QLabel(this);
    m_progressLabel->setAccessibleName(tr("Piece being written"));
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_progressLabel, 2);
    root->addLayout(progressRow);

    connect(m_browseButton, &QPushButton::clicked, this, &CTracksOutputPanel::OnBrowseOutput);
    connect(&m_model, &TrackListModel::tracksChanged, this, &CTracksOutputPanel::UpdateExample);
    connect(m_templateEdit, &QLineEdit::textChanged, this, &CTracksOutputPanel::UpdateExample);
    connect(m_folderEdit, &QLineEdit::textChanged, this, &CTracksOutputPanel::UpdateExample);
    for (QRadioButton* r : {m_keepRadio, m_mp3Radio, m_wavRadio})
        connect(r, &QRadioButton::toggled, this, &CTracksOutputPanel::UpdateFormatNote);
    m_writeTimer = new QTimer(this);
    m_writeTimer->setInterval(kWritePollMs);
    connect(m_writeTimer, &QTimer::timeout, this, &CTracksOutputPanel::PollWrite);
}

// ---- The settings --------------------------------------------------------------

QString CTracksOutputPanel::OutputFolder() const
{
    return m_folderEdit->text().trimmed();
}

QString CTracksOutputPanel::NameTemplate() const
{
    const QString text = m_templateEdit->text().trimmed();
    return text.isEmpty() ? QString::fromLatin1(kDefaultTemplate) : text;
}

TracksEngine::Format CTracksOutputPanel::OutputFormat() const
{
    if (m_mp3Radio->isChecked())
        return TracksEngine::Format::Mp3;
    if (m_wavRadio->isChecked())
        return TracksEngine::Format::Wav;
    return TracksEngine::Format::Keep;
}

void CTracksOutputPanel::SetOutputFolder(const QString& folder)
{
    m_folderEdit->setText(folder);
}

void CTracksOutputPanel::RestoreNameTemplate()
{
    m_templateEdit->setText(
        QSettings().value(QLatin1String(kTemplateKey), QLatin1String(kDefaultTemplate)).toString());
}

void CTracksOutputPanel::OnBrowseOutput()
{
    const std::optional<QString> folder =
        ui::BrowseForFolder(window(), tr("Output folder"), QString::fromLatin1(kOutputFolderKey));
    if (!folder)
        return;
    SetOutputFolder(*folder);
    QSettings().setValue(QLatin1String(kOutputFolderKey), *folder);
}

QString CTracksOutputPanel::ExampleName() const
{
    return m_exampleLabel->text();
}

void CTracksOutputPanel::UpdateExample()
{
    TracksEngine::WriteRequest request;
    request.source = m_source;
    request.folder = OutputFolder();
    request.nameTemplate = NameTemplate();
    request.format = OutputFormat();
    request.tracks = m_model.Tracks();
    const QString name = m_engine.FirstName(request);
    m_exampleLabel->setText(name.isEmpty() ? QString() : tr("First: %1").arg(name));
}

void CTracksOutputPanel::UpdateFormatNote()
{
    const bool reencode = m_mp3Radio->isChecked();
    m_bitrateLabel->setEnabled(reencode);
    m_bitrateCombo->setEnabled(reencode);
    m_samplerateLabel->setEnabled(reencode);
    m_samplerateCombo->setEnabled(reencode);
    QString note;
    if (m_keepRadio->isChecked() && !m_source.isEmpty()) {
        const QString refusal = m_engine.LosslessRefusal(m_source);
        note = refusal.isEmpty() ? tr("The pieces copy the source's sound, cut to the sample.")
                                 : tr("The sound cannot be kept as it is: %1").arg(refusal);
    }
    m_formatNote->setText(note);
    UpdateExample();
}

// ---- Write all -----------------------------------------------------------------

void CTracksOutputPanel::SetBusy(bool writing)
{
    m_browseButton->setEnabled(!writing);
    m_busy(writing);
}

bool CTracksOutputPanel::PrepareFolder()
{
    const QString folder = OutputFolder();
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        ui::MessageBox(window(), tr("Choose an output folder first."), QString(), ui::MessageIcon::Warning);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        ui::MessageBox(window(), tr("The output folder cannot be made:\n%1").arg(QDir::toNativeSeparators(folder)),
                       QString(), ui::MessageIcon::Error);
        return false;
    }
    QSettings settings;
    settings.setValue(QLatin1String(kTemplateKey), m_templateEdit->text());
    settings.setValue(QLatin1String(kOutputFolderKey), folder);
    return true;
}

void CTracksOutputPanel::StartWrite()
{
    TracksEngine::WriteRequest request;
    request.source = m_source;
    request.folder = OutputFolder();
    request.nameTemplate = NameTemplate();
    request.format = OutputFormat();
    request.bitrateKbps = m_bitrateCombo->currentData().toInt();
    request.sampleRate = m_samplerateCombo->currentData().toInt();
    request.tracks = m_model.Tracks();
    QString error;
    if (!m_engine.StartWrite(request, error)) {
        ui::MessageBox(window(), tr("Writing cannot start:\n%1").arg(error), QString(), ui::MessageIcon::Error);
        return;
    }
    SetBusy(true);
    m_progress->setValue(0);
    m_progressLabel->clear();
    m_writeTimer->start();
}

void CTracksOutputPanel::PollWrite()
{
    const TracksEngine::Progress progress = m_engine.WriteProgress();
    m_progress->setValue(static_cast<int>(std::clamp(progress.fraction, 0.0, 1.0) * kProgressRange));
    if (progress.pieces > 0)
        m_progressLabel->setText(
            tr("Writing %1 of %2: %3").arg(progress.piece + 1).arg(progress.pieces).arg(progress.name));
    if (m_engine.WriteEnded())
        FinishWrite();
}

void CTracksOutputPanel::OnCancelWrite()
{
    if (m_engine.Writing())
        m_engine.StopWrite();
}

void CTracksOutputPanel::EndWithPage()
{
    m_writeTimer->stop();
    OnCancelWrite();
}

void CTracksOutputPanel::FinishWrite()
{
    m_writeTimer->stop();
    const TracksEngine::Outcome outcome = m_engine.FinishWrite();
    SetBusy(false);
    QStringList names;
    for (const QString& path : outcome.written)
        names << QFileInfo(path).fileName();
    const QString list = names.isEmpty() ? tr("(none)") : names.join(QLatin1Char('\n'));
    if (outcome.succeeded) {
        m_progress->setValue(kProgressRange);
        m_progressLabel->setText(tr("%n track(s) written.", nullptr, static_cast<int>(names.size())));
        // A box of its own: it offers to open the folder.
        if (ui::MessageBox(window(),
                           tr("%n track(s) written to %1.\n\nOpen the folder?", nullptr,
                              static_cast<int>(names.size()))
                               .arg(QDir::toNativeSeparators(OutputFolder())),
                           tr("Tracks written"), ui::MessageIcon::Information, ui::MessageButtons::YesNo)
            == ui::IDYES
            && !help::OpenUrl(QUrl::fromLocalFile(OutputFolder())))
            ui::MessageBox(window(),
                           tr("The folder %1 could not be opened: the desktop has no program to show folders.")
                               .arg(QDir::toNativeSeparators(OutputFolder())),
                           tr("Tracks written"), ui::MessageIcon::Warning);
        return;
    }
    m_progress->setValue(0);
    if (outcome.stopped) {
        m_progressLabel->setText(tr("Stopped."));
        ui::MessageBox(window(), tr("Writing was stopped; the unfinished piece was removed.\nPieces written:\n%1")
                                     .arg(list),
                       tr("Stopped"), ui::MessageIcon::Information);
        return;
    }
    m_progressLabel->setText(tr("Failed."));
    ui::MessageBox(window(), tr("Writing failed: %1\nPieces written:\n%2").arg(outcome.reason, list), QString(),
                   ui::MessageIcon::Error);
}

// ---- Runs whose page has gone ----------------------------------------------------

namespace {

int g_runsEnding = 0;

// Holds the engine of a stopped run until the run has ended. A child of the
// application: one still ending when the program ends is destroyed with it,
// and the engine then waits for its job's threads.
class EndingRun : public QObject {
public:
    explicit EndingRun(std::unique_ptr<TracksEngine> engine)
        : QObject(QCoreApplication::instance()), m_engine(std::move(engine))
    {
        ++g_runsEnding;
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            if (!m_engine->WriteEnded())
                return;
            poll->stop();
            m_engine->FinishWrite();
            m_engine.reset();
            --g_runsEnding;
            deleteLater();
        });
        poll->start(kWritePollMs);
    }
    ~EndingRun() override
    {
        if (m_engine)
            --g_runsEnding;
    }

private:
    std::unique_ptr<TracksEngine> m_engine;
};

} // namespace

void LetRunEnd(std::unique_ptr<TracksEngine> engine)
{
    engine->StopWrite();
    // Without an application nothing would poll it: it is waited for here.
    if (QCoreApplication::instance())
        new EndingRun(std::move(engine));
}

int RunsStillEnding()
{
    return g_runsEnding;
}
