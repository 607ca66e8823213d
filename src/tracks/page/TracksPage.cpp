// The tracks page: layout, the player and "Play the cut", cuts on the
// waveform and in the table, the tools, the output settings and Write all.

#include "TracksPage.h"

#include "FileDialogs.h"
#include "Help.h"
#include "MessageBox.h"
#include "TracksEngine.h"
#include "TracksToolDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using tracktime::kSecond;

// How long the waveform took (QT_LOGGING_RULES="tarnwick.tracks.info=true").
Q_LOGGING_CATEGORY(lcTracksPage, "tarnwick.tracks", QtWarningMsg)

namespace {

constexpr int kTracksPageId = 150;
constexpr char kOutputFolderKey[] = "folders/tracksOutput";
constexpr char kTemplateKey[] = "tracks/nameTemplate";
constexpr char kDefaultTemplate[] = "{n} - {title}";
constexpr tracktime::Time kEdge = 2 * kSecond; // what "Play the cut" plays on each side

const ui::DialogTemplate& TracksPageTemplate()
{
    // No controls of its own: the page lays its widgets out itself. A window
    // of its own, like the split page it comes from.
    static const ui::DialogTemplate t{kTracksPageId, QStringLiteral("Tarnwick"), true, true,
                                      QStringLiteral("MS Sans Serif"), 8, QSize(420, 300), {}};
    return t;
}

QPushButton* MakeButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setAccessibleName(SpokenName(text));
    button->setAutoDefault(false);
    return button;
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
    m_table->installEventFilter(this);

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

    // The tools.
    auto* tools = new QHBoxLayout;
    const struct {
        const char* text;
        const char* tip;
        void (CTracksPage::*handler)();
    } toolList[] = {
        {QT_TR_NOOP("Import cue sheet..."), QT_TR_NOOP("Take the tracks from a cue sheet"),
         &CTracksPage::OnImportCue},
        {QT_TR_NOOP("Import labels..."), QT_TR_NOOP("Take the tracks from a label file (start, end, title)"),
         &CTracksPage::OnImportLabels},
        {QT_TR_NOOP("Find silences..."), QT_TR_NOOP("Place the cuts in the pauses of the sound"),
         &CTracksPage::OnFindSilences},
        {QT_TR_NOOP("Equal parts..."), QT_TR_NOOP("Cut into parts of equal length"), &CTracksPage::OnEqualParts},
        {QT_TR_NOOP("Export cue sheet..."), QT_TR_NOOP("Save the tracks as a cue sheet for the source"),
         &CTracksPage::OnExportCue},
        {QT_TR_NOOP("Export labels..."), QT_TR_NOOP("Save the tracks as a label file"),
         &CTracksPage::OnExportLabels},
    };
    for (const auto& tool : toolList) {
        QPushButton* button = MakeButton(tr(tool.text), tr(tool.tip), this);
        connect(button, &QPushButton::clicked, this, [this, h = tool.handler] { (this->*h)(); });
        m_toolButtons << button;
        tools->addWidget(button);
    }
    tools->addStretch(1);
    root->addLayout(tools);
    // What a reader wants the person to know (a sheet naming another file),
    // on a line of its own that is always there, so nothing moves when a
    // note comes.
    m_noteLabel = new QLabel(this);
    m_noteLabel->setAccessibleName(tr("Note"));
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setMinimumHeight(m_noteLabel->fontMetrics().lineSpacing());
    root->addWidget(m_noteLabel);

    // The output.
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
    m_wavRadio = new QRadioButton(tr("&WAV"), output);
    auto* group = new QButtonGroup(output);
    for (QRadioButton* r : {m_keepRadio, m_mp3Radio, m_wavRadio})
        group->addButton(r);
    m_keepRadio->setChecked(true);
    m_bitrateCombo = new QComboBox(output);
    for (int kbps : {320, 256, 224, 192, 160, 128, 112, 96, 80, 64})
        m_bitrateCombo->addItem(tr("%1 kbps").arg(kbps), kbps);
    m_bitrateCombo->setCurrentIndex(3);
    m_bitrateCombo->setAccessibleName(tr("Bit rate"));
    m_samplerateCombo = new QComboBox(output);
    for (int hz : {48000, 44100, 32000, 24000, 22050, 16000})
        m_samplerateCombo->addItem(tr("%1 Hz").arg(hz), hz);
    m_samplerateCombo->setCurrentIndex(1);
    m_samplerateCombo->setAccessibleName(tr("Sample rate"));
    formatRow->addWidget(m_keepRadio);
    formatRow->addWidget(m_mp3Radio);
    formatRow->addWidget(m_bitrateCombo);
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

    // Progress and the bottom row.
    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setAccessibleName(tr("Progress"));
    m_progressLabel = new QLabel(this);
    m_progressLabel->setAccessibleName(tr("Piece being written"));
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_progressLabel, 2);
    root->addLayout(progressRow);

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
    connect(&m_model, &TrackListModel::tracksChanged, this, &CTracksPage::OnTracksChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CTracksPage::SyncSelectionFromTable);
    connect(m_wave, &WaveformView::positionClicked, this, [this](qint64 t) { SeekTo(t); });
    connect(m_wave, &WaveformView::cutRequested, this, [this](qint64 t) {
        if (m_model.PlaceCut(t))
            SelectCut(m_model.CutIndexAt(t));
    });
    connect(m_wave, &WaveformView::cutSelected, this, &CTracksPage::SelectCut);
    connect(m_wave, &WaveformView::cutDragged, this, [this](int index, qint64 /*from*/, qint64 to) {
        if (!m_model.MoveCut(index, to))
            m_wave->SetCuts(m_model.Cuts()); // refused: the mark goes back
        SelectCut(m_model.CutIndexAt(to));
    });
    connect(m_wave, &WaveformView::deleteCutRequested, this, [this](int index) {
        m_model.DeleteCut(index);
    });
    connect(m_wave, &WaveformView::nudgeRequested, this, [this](int index, qint64 delta) {
        const Time to = m_model.Cuts()[static_cast<std::size_t>(index)] + delta;
        if (m_model.NudgeCut(index, delta))
            SelectCut(m_model.CutIndexAt(to));
    });

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

    connect(m_browseButton, &QPushButton::clicked, this, &CTracksPage::OnBrowseOutput);
    connect(m_templateEdit, &QLineEdit::textChanged, this, &CTracksPage::UpdateExample);
    connect(m_folderEdit, &QLineEdit::textChanged, this, &CTracksPage::UpdateExample);
    for (QRadioButton* r : {m_keepRadio, m_mp3Radio, m_wavRadio})
        connect(r, &QRadioButton::toggled, this, &CTracksPage::UpdateFormatNote);
    connect(m_writeButton, &QPushButton::clicked, this, &CTracksPage::OnWriteAll);
    connect(m_cancelButton, &QPushButton::clicked, this, &CTracksPage::OnCancelWrite);
    connect(m_helpButton, &QPushButton::clicked, this, [] { LaunchHelp(); });
    connect(m_backButton, &QPushButton::clicked, this, &CTracksPage::OnBack);
    connect(m_exitButton, &QPushButton::clicked, this, [this] { OnCancel(); });

    m_positionTimer = new QTimer(this);
    m_positionTimer->setInterval(40);
    connect(m_positionTimer, &QTimer::timeout, this, &CTracksPage::OnPositionTick);
    m_scanTimer = new QTimer(this);
    m_scanTimer->setInterval(30);
    connect(m_scanTimer, &QTimer::timeout, this, &CTracksPage::PollScan);
    m_writeTimer = new QTimer(this);
    m_writeTimer->setInterval(50);
    connect(m_writeTimer, &QTimer::timeout, this, &CTracksPage::PollWrite);
    connect(&m_player, &CPreviewPlayer::ended, this, [this] {
        m_segments.clear();
        m_playButton->setText(tr("&Play"));
    });
    m_player.SetPositionInterval(40);
}

bool CTracksPage::OnInitDialog()
{
    EnableCommandHelp();
    QSettings settings;
    m_templateEdit->setText(settings.value(QLatin1String(kTemplateKey), QLatin1String(kDefaultTemplate)).toString());
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
        if (m_engine->Writing()) {
            m_engine->StopWrite();
            while (!m_engine->WriteEnded())
                QThread::msleep(5);
            m_engine->FinishWrite();
        }
        m_engine->StopScan();
    }
    if (m_positionTimer)
        m_positionTimer->stop();
    if (m_scanTimer)
        m_scanTimer->stop();
    if (m_writeTimer)
        m_writeTimer->stop();
    m_segments.clear();
    m_player.Close();
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

QString CTracksPage::Note() const
{
    return m_noteLabel->text();
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

// ---- Cuts and selection ------------------------------------------------------

void CTracksPage::OnTracksChanged()
{
    const int keep = m_wave->SelectedCut();
    m_wave->SetCuts(m_model.Cuts());
    if (keep >= 0)
        SelectCut(std::min(keep, static_cast<int>(m_model.Cuts().size()) - 1));
    UpdateExample();
}

int CTracksPage::SelectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CTracksPage::SyncSelectionFromTable()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    // Row r starts at cut r - 1; the first row has no cut.
    m_wave->SetSelectedCut(row - 1);
    const PageTrack& track = m_model.Tracks()[static_cast<std::size_t>(row)];
    m_wave->EnsureVisible(track.start);
}

void CTracksPage::SelectCut(int index)
{
    m_wave->SetSelectedCut(index);
    if (index < 0)
        return;
    // The row of the track the cut starts; the current cell moves only when
    // it is on another row (an edit in this row stays open).
    const QModelIndex cell = m_model.index(index + 1, TrackListModel::ColStart);
    if (SelectedRow() != index + 1)
        m_table->selectionModel()->select(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (m_table->currentIndex().row() != index + 1)
        m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    m_table->scrollTo(cell);
}

void CTracksPage::OnPlaceCut()
{
    const Time t = m_wave->PlayPosition();
    if (m_model.PlaceCut(t))
        SelectCut(m_model.CutIndexAt(t));
}

void CTracksPage::OnDeleteCut()
{
    const int cut = m_wave->SelectedCut();
    if (cut >= 0)
        m_model.DeleteCut(cut);
}

bool CTracksPage::eventFilter(QObject* watched, QEvent* event)
{
    // While a cell is edited its editor has the keys, not the table.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && m_wave->SelectedCut() >= 0) {
            OnDeleteCut();
            return true;
        }
    }
    return CDialogPage::eventFilter(watched, event);
}

// ---- The player ----------------------------------------------------------------

void CTracksPage::ShowPosition(Time position)
{
    m_wave->SetPlayPosition(position);
    const QString text = tr("%1 of %2").arg(tracktime::Format(position), tracktime::Format(m_duration));
    if (m_positionLabel->text() != text)
        m_positionLabel->setText(text);
}

void CTracksPage::SeekTo(Time t)
{
    m_segments.clear();
    t = std::clamp<Time>(t, 0, m_duration);
    if (m_player.IsOpen() && !m_player.Seek(t))
        qWarning("tracks page: %s", qUtf8Printable(m_player.Reason()));
    ShowPosition(t);
}

bool CTracksPage::CanPlay()
{
    if (m_player.IsOpen())
        return true;
    ui::MessageBox(this, tr("Nothing can be played: %1 holds no sound that can be played.")
                             .arg(QFileInfo(m_strSourcePath).fileName()),
                   QString(), ui::MessageIcon::Error);
    return false;
}

void CTracksPage::OnPlayPause()
{
    if (!CanPlay())
        return;
    m_segments.clear();
    if (m_player.PlaybackState() == CPreviewPlayer::State::Playing) {
        if (!m_player.Pause())
            ui::MessageBox(this, m_player.Reason(), QString(), ui::MessageIcon::Error);
        m_playButton->setText(tr("&Play"));
        return;
    }
    if (!m_player.Play()) {
        ui::MessageBox(this, tr("Cannot play: %1").arg(m_player.Reason()), QString(), ui::MessageIcon::Error);
        return;
    }
    m_playButton->setText(tr("&Pause"));
}

void CTracksPage::OnPlayCut()
{
    if (!CanPlay())
        return;
    m_segments.clear();
    const int cut = m_wave->SelectedCut();
    if (cut >= 0) {
        const Time at = m_model.Cuts()[static_cast<std::size_t>(cut)];
        m_segments.push_back({std::max<Time>(0, at - kEdge), std::min(m_duration, at + kEdge)});
    } else {
        const int row = std::max(0, SelectedRow());
        const PageTrack& track = m_model.Tracks()[static_cast<std::size_t>(row)];
        m_segments.push_back({track.start, std::min(track.end, track.start + kEdge)});
        m_segments.push_back({std::max(track.start, track.end - kEdge), track.end});
    }
    PlaySegment();
}

void CTracksPage::PlaySegment()
{
    if (m_segments.empty())
        return;
    const Segment segment = m_segments.front();
    if (!m_player.Seek(segment.start) || !m_player.Play()) {
        m_segments.clear();
        ui::MessageBox(this, tr("Cannot play: %1").arg(m_player.Reason()), QString(), ui::MessageIcon::Error);
        return;
    }
    m_playButton->setText(tr("&Pause"));
    ShowPosition(segment.start);
}

void CTracksPage::OnPositionTick()
{
    if (!m_player.IsOpen())
        return;
    const std::optional<Time> position = m_player.Position();
    if (!position)
        return;
    if (m_player.PlaybackState() == CPreviewPlayer::State::Playing)
        ShowPosition(*position);
    if (m_segments.empty() || *position < m_segments.front().end)
        return;
    // One stretch of "Play the cut" has been heard: on to the next, or stop.
    m_segments.erase(m_segments.begin());
    if (!m_segments.empty())
        return PlaySegment();
    if (!m_player.Pause())
        qWarning("tracks page: %s", qUtf8Printable(m_player.Reason()));
    m_playButton->setText(tr("&Play"));
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

// ---- Output --------------------------------------------------------------------

QString CTracksPage::OutputFolder() const
{
    return m_folderEdit->text().trimmed();
}

QString CTracksPage::NameTemplate() const
{
    const QString text = m_templateEdit->text().trimmed();
    return text.isEmpty() ? QString::fromLatin1(kDefaultTemplate) : text;
}

CTracksPage::Format CTracksPage::OutputFormat() const
{
    if (m_mp3Radio->isChecked())
        return Format::Mp3;
    if (m_wavRadio->isChecked())
        return Format::Wav;
    return Format::Keep;
}

void CTracksPage::SetOutputFolder(const QString& folder)
{
    m_folderEdit->setText(folder);
}

void CTracksPage::OnBrowseOutput()
{
    const std::optional<QString> folder =
        ui::BrowseForFolder(this, tr("Output folder"), QString::fromLatin1(kOutputFolderKey));
    if (!folder)
        return;
    SetOutputFolder(*folder);
    QSettings().setValue(QLatin1String(kOutputFolderKey), *folder);
}

QString CTracksPage::ExampleName() const
{
    return m_exampleLabel->text();
}

void CTracksPage::UpdateExample()
{
    if (!m_exampleLabel)
        return;
    TracksEngine::WriteRequest request;
    request.source = m_strSourcePath;
    request.folder = OutputFolder();
    request.nameTemplate = NameTemplate();
    request.format = static_cast<TracksEngine::Format>(OutputFormat());
    request.tracks = m_model.Tracks();
    const QString name = m_engine->FirstName(request);
    m_exampleLabel->setText(name.isEmpty() ? QString() : tr("First: %1").arg(name));
}

void CTracksPage::UpdateFormatNote()
{
    const bool reencode = m_mp3Radio->isChecked();
    m_bitrateCombo->setEnabled(reencode);
    m_samplerateCombo->setEnabled(reencode);
    QString note;
    if (m_keepRadio->isChecked() && !m_strSourcePath.isEmpty()) {
        const QString refusal = m_engine->LosslessRefusal(m_strSourcePath);
        note = refusal.isEmpty() ? tr("The pieces copy the source's sound, cut to the sample.")
                                 : tr("The sound cannot be kept as it is: %1").arg(refusal);
    }
    m_formatNote->setText(note);
    UpdateExample();
}

// ---- Write all -----------------------------------------------------------------

void CTracksPage::SetBusy(bool writing)
{
    m_writeButton->setEnabled(!writing);
    m_cancelButton->setEnabled(writing);
    m_backButton->setEnabled(!writing);
    for (QPushButton* tool : m_toolButtons)
        tool->setEnabled(!writing);
    m_browseButton->setEnabled(!writing);
    m_table->setEnabled(!writing);
}

void CTracksPage::OnWriteAll()
{
    if (m_engine->Writing())
        return;
    const QString folder = OutputFolder();
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        ui::MessageBox(this, tr("Choose an output folder first."), QString(), ui::MessageIcon::Warning);
        return;
    }
    if (!QDir().mkpath(folder)) {
        ui::MessageBox(this, tr("The output folder cannot be made:\n%1").arg(QDir::toNativeSeparators(folder)),
                       QString(), ui::MessageIcon::Error);
        return;
    }
    QSettings settings;
    settings.setValue(QLatin1String(kTemplateKey), m_templateEdit->text());
    settings.setValue(QLatin1String(kOutputFolderKey), folder);
    if (m_player.IsOpen() && m_player.PlaybackState() == CPreviewPlayer::State::Playing && !m_player.Pause())
        qWarning("tracks page: %s", qUtf8Printable(m_player.Reason()));
    m_playButton->setText(tr("&Play"));
    m_segments.clear();

    TracksEngine::WriteRequest request;
    request.source = m_strSourcePath;
    request.folder = folder;
    request.nameTemplate = NameTemplate();
    request.format = static_cast<TracksEngine::Format>(OutputFormat());
    request.bitrateKbps = m_bitrateCombo->currentData().toInt();
    request.sampleRate = m_samplerateCombo->currentData().toInt();
    request.tracks = m_model.Tracks();
    QString error;
    if (!m_engine->StartWrite(request, error)) {
        ui::MessageBox(this, tr("Writing cannot start:\n%1").arg(error), QString(), ui::MessageIcon::Error);
        return;
    }
    SetBusy(true);
    m_progress->setValue(0);
    m_progressLabel->clear();
    m_writeTimer->start();
}

void CTracksPage::PollWrite()
{
    const TracksEngine::Progress progress = m_engine->WriteProgress();
    m_progress->setValue(static_cast<int>(std::clamp(progress.fraction, 0.0, 1.0) * 1000));
    if (progress.pieces > 0)
        m_progressLabel->setText(
            tr("Writing %1 of %2: %3").arg(progress.piece + 1).arg(progress.pieces).arg(progress.name));
    if (m_engine->WriteEnded())
        FinishWrite();
}

void CTracksPage::OnCancelWrite()
{
    if (m_engine->Writing())
        m_engine->StopWrite();
}

void CTracksPage::FinishWrite()
{
    m_writeTimer->stop();
    const TracksEngine::Outcome outcome = m_engine->FinishWrite();
    SetBusy(false);
    QStringList names;
    for (const QString& path : outcome.written)
        names << QFileInfo(path).fileName();
    const QString list = names.isEmpty() ? tr("(none)") : names.join(QLatin1Char('\n'));
    if (outcome.succeeded) {
        m_progress->setValue(1000);
        m_progressLabel->setText(tr("%n track(s) written.", nullptr, static_cast<int>(names.size())));
        // A box of its own: it offers to open the folder.
        if (ui::MessageBox(this,
                           tr("%n track(s) written to %1.\n\nOpen the folder?", nullptr,
                              static_cast<int>(names.size()))
                               .arg(QDir::toNativeSeparators(OutputFolder())),
                           tr("Tracks written"), ui::MessageIcon::Information, ui::MessageButtons::YesNo)
            == ui::IDYES)
            QDesktopServices::openUrl(QUrl::fromLocalFile(OutputFolder()));
        return;
    }
    m_progress->setValue(0);
    if (outcome.stopped) {
        m_progressLabel->setText(tr("Stopped."));
        ui::MessageBox(this, tr("Writing was stopped; the unfinished piece was removed.\nPieces written:\n%1")
                                 .arg(list),
                       tr("Stopped"), ui::MessageIcon::Information);
        return;
    }
    m_progressLabel->setText(tr("Failed."));
    ui::MessageBox(this, tr("Writing failed: %1\nPieces written:\n%2").arg(outcome.reason, list), QString(),
                   ui::MessageIcon::Error);
}

// ---- Navigation ----------------------------------------------------------------

void CTracksPage::OnBack()
{
    if (m_engine->Writing())
        return;
    OnOK();
}

// ---- The tools -----------------------------------------------------------------

namespace {

const char* const kCueFilter = QT_TRANSLATE_NOOP("CTracksPage", "Cue sheet (*.cue)|*.cue|*.*|*.*");
const char* const kLabelFilter = QT_TRANSLATE_NOOP("CTracksPage", "Label file (*.txt)|*.txt|*.*|*.*");
constexpr char kToolFolderKey[] = "folders/tracksSheets";

} // namespace

bool CTracksPage::ImportCue(const QString& path)
{
    const TracksEngine::Imported imported = m_engine->ReadCueSheet(path, m_strSourcePath, m_duration);
    if (!imported.error.isEmpty()) {
        ui::MessageBox(this, tr("The cue sheet cannot be used:\n%1").arg(imported.error), QString(),
                       ui::MessageIcon::Error);
        return false;
    }
    m_model.ReplaceAll(imported.tracks, tr("Import cue sheet"));
    m_noteLabel->setText(imported.notes.join(QLatin1Char('\n')));
    return true;
}

bool CTracksPage::ImportLabels(const QString& path)
{
    const TracksEngine::Imported imported = m_engine->ReadLabels(path, m_duration);
    if (!imported.error.isEmpty()) {
        ui::MessageBox(this, tr("The label file cannot be used:\n%1").arg(imported.error), QString(),
                       ui::MessageIcon::Error);
        return false;
    }
    m_model.ReplaceAll(imported.tracks, tr("Import labels"));
    return true;
}

void CTracksPage::OnImportCue()
{
    if (const std::optional<QString> path =
            ui::GetOpenFileName(this, tr(kCueFilter), QString::fromLatin1(kToolFolderKey)))
        ImportCue(*path);
}

void CTracksPage::OnImportLabels()
{
    if (const std::optional<QString> path =
            ui::GetOpenFileName(this, tr(kLabelFilter), QString::fromLatin1(kToolFolderKey)))
        ImportLabels(*path);
}

void CTracksPage::OnExportCue()
{
    const std::optional<QString> path =
        ui::GetSaveFileName(this, tr(kCueFilter), QStringLiteral("cue"), QString::fromLatin1(kToolFolderKey));
    if (!path)
        return;
    const QString error = m_engine->WriteCueSheet(*path, m_strSourcePath, m_model.Tracks());
    if (!error.isEmpty())
        ui::MessageBox(this, tr("The cue sheet cannot be written:\n%1").arg(error), QString(),
                       ui::MessageIcon::Error);
}

void CTracksPage::OnExportLabels()
{
    const std::optional<QString> path =
        ui::GetSaveFileName(this, tr(kLabelFilter), QStringLiteral("txt"), QString::fromLatin1(kToolFolderKey));
    if (!path)
        return;
    const QString error = m_engine->WriteLabels(*path, m_model.Tracks());
    if (!error.isEmpty())
        ui::MessageBox(this, tr("The label file cannot be written:\n%1").arg(error), QString(),
                       ui::MessageIcon::Error);
}

bool CTracksPage::ApplySilences(double thresholdDb, double minSeconds, bool trim)
{
    const TracksEngine::Silences silences = m_engine->FindSilences(thresholdDb, minSeconds, trim, m_duration);
    m_wave->SetShaded(silences.found);
    if (silences.tracks.size() < 2)
        return false;
    return m_model.ReplaceAll(silences.tracks, tr("Find silences"));
}

bool CTracksPage::ApplyEqualParts(int count, Time every, double snapSeconds)
{
    const double threshold = m_engine->SuggestedThresholdDb().value_or(-50.0);
    return m_model.ReplaceAll(m_engine->EqualParts(count, every, snapSeconds, threshold, m_duration),
                              tr("Equal parts"));
}

void CTracksPage::OnFindSilences()
{
    const std::optional<double> suggested = m_engine->SuggestedThresholdDb();
    if (!suggested) {
        ui::MessageBox(this, tr("The waveform is still being read; find silences once it is complete."),
                       QString(), ui::MessageIcon::Information);
        return;
    }
    SilenceDialog dialog(
        *suggested,
        [this](double db, double seconds, bool trim) {
            const TracksEngine::Silences found = m_engine->FindSilences(db, seconds, trim, m_duration);
            // Shown, not yet taken: OK takes it.
            m_wave->SetShaded(found.found, true);
            return found.report;
        },
        this);
    if (dialog.exec() != QDialog::Accepted) {
        m_wave->SetShaded({});
        return;
    }
    ApplySilences(dialog.ThresholdDb(), dialog.MinSeconds(), dialog.Trim());
}

void CTracksPage::OnEqualParts()
{
    EqualPartsDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyEqualParts(dialog.ByCount() ? dialog.Count() : 0, dialog.ByCount() ? 0 : dialog.Every().value_or(0),
                    dialog.SnapSeconds());
}
