// The tracks page: its layout, the scan that fills the waveform, how the
// page opens and ends, and the commands that reach across its parts (cut
// editing, playing, the tools, the output), which live in files of their
// own.

#include "TracksPage.h"

#include "Help.h"
#include "MessageBox.h"
#include "TracksCutEditor.h"
#include "TracksEngine.h"
#include "TracksOutputPanel.h"
#include "TracksPlayback.h"
#include "TracksToolDialogs.h"
#include "TracksTools.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using tracksoutput::kOutputFolderKey;

// How long the waveform took (QT_LOGGING_RULES="tarnwick.tracks.info=true").
Q_LOGGING_CATEGORY(lcTracksPage, "tarnwick.tracks", QtWarningMsg)

namespace {

constexpr int kTracksPageId = 150;

const ui::DialogTemplate& TracksPageTemplate()
{
    // No controls of its own: the page lays its widgets out itself. A window
    // of its own, like the split page it comes from.
    static const ui::DialogTemplate t{kTracksPageId, QStringLiteral("Tarnwick"), true, true,
                                      QStringLiteral("MS Sans Serif"), 8, QSize(420, 300), {}};
    return t;
}

} // namespace

CTracksPage::CTracksPage(QWidget* parent)
    : CDialogPage(TracksPageTemplate(), parent), m_engine(std::make_unique<TracksEngine>())
{
    // The template fixes the size; this page is laid out and resizable.
    setFont(QApplication::font());
    setMinimumSize(720, 520);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);
    resize(1000, 720);
    BuildLayout();
    ConnectSignals();
    connect(this, &QDialog::finished, this, &CTracksPage::OnPageEnded);
}

CTracksPage::~CTracksPage()
{
    OnPageEnded();
    // A run the page was closed on ends without the page.
    if (m_engine->Writing())
        LetRunEnd(std::move(m_engine));
}

void CTracksPage::BuildLayout()
{
    auto* root = new QVBoxLayout(this);

    m_wave = new WaveformView(this);
    m_wave->setMinimumHeight(140);

    // Player and cut commands.
    auto* playRow = new QHBoxLayout;
    m_playButton = MakeButton(tr("&Play"), tr("Play or pause from the playing position (Space)"), this);
    m_playCutButton = MakeButton(tr("Play the &cut"),
                                 tr("Play 2 s before and 2 s after the selected cut "
                                    "(or the start and the end of the selected track)"),
                                 this);
    m_placeCutButton = MakeButton(tr("Place cut (&M)"), tr("Place a cut at the playing position"), this);
    m_deleteCutButton = MakeButton(tr("&Delete cut"), tr("Remove the selected cut (Delete)"), this);
    m_undoButton = MakeButton(tr("&Undo"), tr("Undo the last change of the cuts or titles (Ctrl+Z)"), this);
    m_redoButton = MakeButton(tr("&Redo"), tr("Redo what was undone (Ctrl+Shift+Z)"), this);
    m_positionLabel = new QLabel(this);
    m_positionLabel->setAccessibleName(tr("Playing position"));
    m_positionLabel->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_scanLabel = new QLabel(this);
    m_scanLabel->setAccessibleName(tr("Scan"));
    for (QWidget* w : {static_cast<QWidget*>(m_playButton), static_cast<QWidget*>(m_playCutButton),
                       static_cast<QWidget*>(m_placeCutButton), static_cast<QWidget*>(m_deleteCutButton),
                       static_cast<QWidget*>(m_undoButton), static_cast<QWidget*>(m_redoButton)})
        playRow->addWidget(w);
    playRow->addStretch(1);
    playRow->addWidget(m_scanLabel);
    playRow->addSpacing(12);
    playRow->addWidget(m_positionLabel);
    m_playback = std::make_unique<CTracksPlayback>(CTracksPlayback::Parts{
        m_player, m_strSourcePath, m_duration, m_playButton, m_wave, m_positionLabel});

    // The track table.
    m_table = new QTableView(this);
    m_table->setModel(&m_model);
    m_table->setAccessibleName(tr("Tracks"));
    m_table->setAccessibleDescription(
        tr("Title and performer are edited in place; start and end as hh:mm:ss.mmm (F2)."));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSectionResizeMode(TrackListModel::ColTitle, QHeaderView::Stretch);
    for (int c : {TrackListModel::ColNumber, TrackListModel::ColStart, TrackListModel::ColEnd,
                  TrackListModel::ColLength})
        m_table->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    auto* top = new QWidget(splitter);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(m_wave, 1);
    topLayout->addLayout(playRow);
    splitter->addWidget(top);
    splitter->addWidget(m_table);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    root->addWidget(splitter, 1);

    m_tools = new CTracksTools({*m_engine, m_model, *m_wave, m_strSourcePath, m_duration}, this);
    root->addWidget(m_tools);
    m_output = new CTracksOutputPanel(*m_engine, m_strSourcePath, m_model,
                                      [this](bool writing) { SetBusy(writing); }, this);
    root->addWidget(m_output);

    auto* bottom = new QHBoxLayout;
    m_helpButton = MakeButton(tr("Help"), tr("Open the manual (F1)"), this);
    m_backButton = MakeButton(tr("Back"), tr("Return to the previous page"), this);
    m_writeButton = MakeButton(tr("&Write all"), tr("Write every track into the output folder"), this);
    m_cancelButton = MakeButton(tr("Cancel"), tr("Stop writing; the piece being written is removed"), this);
    m_cancelButton->setEnabled(false);
    m_exitButton = MakeButton(tr("Exit"), tr("Quit Tarnwick"), this);
    bottom->addWidget(m_helpButton);
    bottom->addStretch(1);
    bottom->addWidget(m_backButton);
    bottom->addWidget(m_writeButton);
    bottom->addWidget(m_cancelButton);
    bottom->addWidget(m_exitButton);
    root->addLayout(bottom);
}

void CTracksPage::ConnectSignals()
{
    m_cuts = new CTracksCutEditor(m_model, m_wave, m_table, this);
    connect(m_wave, &WaveformView::positionClicked, this, [this](qint64 t) { m_playback->SeekTo(t); });

    connect(m_playButton, &QPushButton::clicked, this, &CTracksPage::OnPlayPause);
    connect(m_playCutButton, &QPushButton::clicked, this, &CTracksPage::OnPlayCut);
    connect(m_placeCutButton, &QPushButton::clicked, this, &CTracksPage::OnPlaceCut);
    connect(m_deleteCutButton, &QPushButton::clicked, this, &CTracksPage::OnDeleteCut);
    QUndoStack& undo = m_model.UndoStack();
    connect(m_undoButton, &QPushButton::clicked, &undo, &QUndoStack::undo);
    connect(m_redoButton, &QPushButton::clicked, &undo, &QUndoStack::redo);
    connect(&undo, &QUndoStack::canUndoChanged, m_undoButton, &QPushButton::setEnabled);
    connect(&undo, &QUndoStack::canRedoChanged, m_redoButton, &QPushButton::setEnabled);
    m_undoButton->setEnabled(false);
    m_redoButton->setEnabled(false);
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, &undo, &QUndoStack::undo);
    auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
    connect(redoKey, &QShortcut::activated, &undo, &QUndoStack::redo);
    auto* redoKey2 = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this);
    connect(redoKey2, &QShortcut::activated, &undo, &QUndoStack::redo);

    connect(m_writeButton, &QPushButton::clicked, this, &CTracksPage::OnWriteAll);
    connect(m_cancelButton, &QPushButton::clicked, this, &CTracksPage::OnCancelWrite);
    connect(m_helpButton, &QPushButton::clicked, this, [] { LaunchHelp(); });
    connect(m_backButton, &QPushButton::clicked, this, &CTracksPage::OnBack);
    connect(m_exitButton, &QPushButton::clicked, this, [this] { OnCancel(); });

    m_positionTimer = new QTimer(this);
    m_positionTimer->setInterval(40);
    connect(m_positionTimer, &QTimer::timeout, this, [this] { m_playback->OnPositionTick(); });
    m_scanTimer = new QTimer(this);
    m_scanTimer->setInterval(30);
    connect(m_scanTimer, &QTimer::timeout, this, &CTracksPage::PollScan);
    connect(&m_player, &CPreviewPlayer::ended, this, [this] { m_playback->OnEnded(); });
    m_player.SetPositionInterval(40);
}

bool CTracksPage::OnInitDialog()
{
    EnableCommandHelp();
    m_output->RestoreNameTemplate();
    // Loading waits until the page shows, so the first pixels come at once.
    QTimer::singleShot(0, this, [this] {
        if (!m_loaded)
            LoadSource();
    });
    return true;
}

bool CTracksPage::OnCommandHelp(quintptr /*wParam*/, qintptr lParam)
{
    return ::OnCommandHelp(lParam);
}

void CTracksPage::LoadSource()
{
    if (m_loaded || m_strSourcePath.isEmpty())
        return;
    m_loaded = true;
    const QFileInfo info(m_strSourcePath);
    setWindowTitle(tr("Tracks - %1").arg(info.fileName()));

    // The scan starts first: its threads decode while the player opens.
    QString error;
    m_scanClock.start();
    if (m_engine->StartScan(m_strSourcePath, error)) {
        m_scanTimer->start();
        m_scanLabel->setText(tr("Reading the waveform..."));
    } else {
        m_scanLabel->setText(error);
    }

    const CPreviewPlayer::OpenResult opened = m_player.Open(m_strSourcePath);
    if (!opened.Succeeded())
        ui::MessageBox(this, tr("The file cannot be played:\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(m_strSourcePath), opened.reason),
                       QString(), ui::MessageIcon::Error);
    m_duration = m_player.Duration().value_or(0);
    if (m_duration <= 0 && m_engine->TotalBlocks() > 0)
        m_duration = static_cast<Time>(m_engine->TotalBlocks()) * m_engine->BlockLength();
    m_wave->SetDuration(m_duration, m_engine->BlockLength());

    m_model.Reset(m_duration);
    // The first cuts: the split page's breakpoints, not undoable.
    if (!m_initialCuts.empty()) {
        for (Time t : m_initialCuts)
            m_model.PlaceCut(t);
        m_model.UndoStack().clear();
    }

    QSettings settings;
    const QString folder = settings.value(QLatin1String(kOutputFolderKey)).toString();
    SetOutputFolder(folder.isEmpty() ? info.absolutePath() : folder);
    UpdateFormatNote();
    UpdateExample();
    ShowPosition(0);
    m_positionTimer->start();

    // A sheet the page was opened with is where the page starts, not a step
    // to undo.
    if (!m_strCueSheet.isEmpty() && ImportCue(m_strCueSheet))
        m_model.UndoStack().clear();
}

void CTracksPage::OnPageEnded()
{
    if (m_engine) {
        // A run is asked to stop, not waited for: it ends on its own threads
        // (the destructor hands it on).
        if (m_output)
            m_output->EndWithPage();
        m_engine->StopScan();
    }
    if (m_positionTimer)
        m_positionTimer->stop();
    if (m_scanTimer)
        m_scanTimer->stop();
    if (m_playback)
        m_playback->EndWithPage();
}

void CTracksPage::keyPressEvent(QKeyEvent* event)
{
    // Enter does not end this page (a table edit or a typed name uses it);
    // only a focused button takes it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && focusWidget() == m_wave) {
        OnPlayPause();
        return;
    }
    CDialogPage::keyPressEvent(event);
}

bool CTracksPage::IsWriting() const
{
    return m_engine->Writing();
}

bool CTracksPage::IsScanning() const
{
    // Until the waveform holds every block the scan gave.
    return m_scanTimer->isActive();
}

// ---- Playing -------------------------------------------------------------------

void CTracksPage::OnPlayCut()
{
    if (!m_playback->CanPlay())
        return;
    const int cut = m_wave->SelectedCut();
    if (cut >= 0)
        return m_playback->PlayAround(m_model.Cuts()[static_cast<std::size_t>(cut)]);
    const int row = std::max(0, m_cuts->SelectedRow());
    m_playback->PlayEdgesOf(m_model.Tracks()[static_cast<std::size_t>(row)]);
}

// ---- The scan ------------------------------------------------------------------

void CTracksPage::PollScan()
{
    // Asked first: blocks that arrive after the answer are still taken below.
    const bool done = m_engine->ScanDone();
    const std::size_t ready = m_engine->BlocksReady();
    auto firstPixels = [this] {
        if (m_wave->LevelCount() == 0)
            qCInfo(lcTracksPage, "first waveform blocks after %lld ms", static_cast<long long>(m_scanClock.elapsed()));
    };
    if (ready > m_exactShown) {
        firstPixels();
        m_wave->SetLevels(m_exactShown, m_engine->Levels(m_exactShown, ready - m_exactShown));
        m_exactShown = ready;
        m_wave->SetSketchFrom(m_exactShown);
    }
    // The sketch fills what the full decode has not reached yet.
    if (!m_sketchShown && !done && m_engine->SketchDone()) {
        m_sketchShown = true;
        const std::vector<WaveformView::Level> sketch = m_engine->SketchLevels(m_exactShown);
        if (!sketch.empty()) {
            firstPixels();
            m_wave->SetLevels(m_exactShown, sketch);
            m_wave->SetSketchFrom(m_exactShown);
            qCInfo(lcTracksPage, "waveform sketched whole (one frame in %d) after %lld ms", m_engine->SketchStride(),
                   static_cast<long long>(m_scanClock.elapsed()));
        }
    }
    if (!done)
        return;
    m_scanTimer->stop();
    m_wave->SetSketchFrom(m_exactShown); // a scan that failed leaves the rest sketched
    m_wave->repaint();
    qCInfo(lcTracksPage, "waveform of %zu blocks drawn whole after %lld ms", m_wave->LevelCount(),
           static_cast<long long>(m_scanClock.elapsed()));
    const QString error = m_engine->ScanError();
    m_scanLabel->setText(error.isEmpty() ? QString() : tr("The waveform could not be read: %1").arg(error));
}

// ---- Output and Write all ------------------------------------------------------

void CTracksPage::SetBusy(bool writing)
{
    m_writeButton->setEnabled(!writing);
    m_cancelButton->setEnabled(writing);
    m_backButton->setEnabled(!writing);
    m_tools->SetBusy(writing);
    m_table->setEnabled(!writing);
}

void CTracksPage::OnWriteAll()
{
    if (m_engine->Writing() || !m_output->PrepareFolder())
        return;
    m_playback->Rest();
    m_output->StartWrite();
}

void CTracksPage::OnBack()
{
    if (m_engine->Writing())
        return;
    OnOK();
}
