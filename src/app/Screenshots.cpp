#include "Screenshots.h"

#include "AboutDlg.h"
#include "BalloonTip.h"
#include "ConvertDlg.h"
#include "ConvertDlgIds.h"
#include "EncoderSettingsDlg.h"
#include "FunctionDlg.h"
#include "JoinDlg.h"
#include "JoinDlgIds.h"
#include "MessageBox.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <cmath>
#include <functional>
#include <utility>

namespace {

// Lets the window system map the page and the page paint itself.
void Settle()
{
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Shoot(ui::CDialogPage& page, const QString& path, const std::function<void()>& prepare = {})
{
    page.EnsureInitDialog();
    page.show();
    Settle();
    if (prepare) {
        prepare();
        Settle();
    }
    const bool saved = page.grab().save(path, "PNG");
    page.hide();
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

// A 16-bit mono WAV of a plain tone, something for the split to chew on.
bool WriteTone(const QString& path, int sampleRate, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const quint32 dataBytes = quint32(sampleRate) * quint32(seconds) * 2;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (qint64 i = 0; i < qint64(sampleRate) * seconds; ++i)
        out << qint16(8000 * std::sin(2 * M_PI * 440.0 * double(i) / sampleRate));
    return out.status() == QDataStream::Ok;
}

// The settings dialog a moment into a run: path and time range shown, the
// bar under way, Start and the settings greyed. The run is cancelled after.
bool ShootRunningSplit(const QString& path)
{
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("Song.wav"));
    if (!scratch.isValid() || !WriteTone(source, 8000, 600)) {
        QTextStream(stderr) << "cannot write a source for " << path << '\n';
        return false;
    }
    CConvertDlg settings;
    settings.m_bMp3Output = true;
    settings.m_strOutputName = QStringLiteral("Song.mp3");
    settings.m_wszSourcePath = source;
    settings.m_strOutputDir = scratch.filePath(QStringLiteral("Split"));
    settings.m_breakpoints = {{QStringLiteral("00:00:00"), 0}, {QStringLiteral("00:10:00"), 600'000}};
    settings.EnsureInitDialog();
    settings.show();
    Settle();
    settings.DlgItem<QAbstractButton>(convert_ids::IDC_START)->click();
    const auto* progress = settings.DlgItem<QProgressBar>(convert_ids::IDC_PROGRESS);
    const QDeadlineTimer deadline(5000);
    while (settings.IsRunning() && progress->value() < 40 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    Settle();
    const bool saved = settings.IsRunning() && settings.grab().save(path, "PNG");
    settings.reject();
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

// The split page once its source has loaded: paused, with two breakpoints.
void PrepareSplitPage(CSplitDlg& page)
{
    using namespace split_ids;
    const QString loaded = QStringLiteral("Tarnwick --") + page.m_strSourcePath;
    const QDeadlineTimer deadline(10000);
    while (page.windowTitle() != loaded && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    page.OnPause();
    for (const char* time : {"00:00:10", "00:00:40"}) {
        page.SetDlgItemText(IDC_TYPED_TIME, QString::fromLatin1(time));
        page.OnAddTypedBreakpoint();
    }
}

// The split page with the balloon tip of its output folder up. The balloon is
// a window of its own, so it is drawn onto the page's picture through its
// shape.
bool ShootSplitBalloon(CSplitDlg& page, const QString& path)
{
    CBalloonTip* balloon = page.findChild<CBalloonTip*>();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<CBalloonTip*>(w); !balloon && candidate)
            balloon = candidate;
    QWidget* edit = page.GetDlgItem(split_ids::IDC_OUTPUT_DIR);
    if (!balloon || !edit) {
        QTextStream(stderr) << "no balloon tip to show for " << path << '\n';
        return false;
    }
    page.show();
    const QPoint at = edit->mapToGlobal(QPoint(edit->width() / 2, edit->height() / 2));
    balloon->Show(page.GetDlgItemText(split_ids::IDC_OUTPUT_DIR), &at);
    Settle();
    QPixmap shot = page.grab();
    {
        QPainter painter(&shot);
        const QPoint offset = balloon->mapToGlobal(QPoint(0, 0)) - page.mapToGlobal(QPoint(0, 0));
        painter.setClipRegion(balloon->mask().translated(offset));
        painter.drawPixmap(offset, balloon->grab());
    }
    balloon->hide();
    page.hide();
    const bool saved = shot.save(path, "PNG");
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

// The join page with three files listed, the second selected.
bool ShootJoinWithFiles(CJoinDlg& page, const QString& path)
{
    QTemporaryDir scratch;
    QStringList files;
    for (const auto& [name, seconds] : {std::pair{"Intro.wav", 12}, {"Interview.wav", 95}, {"Outro.wav", 20}}) {
        files << scratch.filePath(QString::fromLatin1(name));
        if (!scratch.isValid() || !WriteTone(files.back(), 8000, seconds)) {
            QTextStream(stderr) << "cannot write the files for " << path << '\n';
            return false;
        }
    }
    return Shoot(page, path, [&page, &files] {
        page.AddFiles(files);
        if (auto* list = page.DlgItem<QTreeWidget>(join_ids::IDC_FILES))
            list->topLevelItem(1)->setSelected(true);
    });
}

// The encoder's own settings page, opened from the join page.
bool ShootEncoderSettings(CJoinDlg& page, const QString& path)
{
    if (!page.Encoder())
        return false;
    CEncoderSettingsDlg settings(page.Encoder(), &page);
    settings.show();
    Settle();
    const bool saved = settings.grab().save(path, "PNG");
    settings.hide();
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

} // namespace

int RunScreenshots(const QString& folder, const QString& splitSource)
{
    // Nothing may wait for a person: messages go to stderr, and the preview
    // plays to no device.
    ui::SetMessageBoxHook([](const ui::MessageBoxRequest& request) {
        QTextStream(stderr) << "message: " << request.text << '\n';
        return ui::IDOK;
    });
    if (qEnvironmentVariableIsEmpty("TARNWICK_AUDIO"))
        qputenv("TARNWICK_AUDIO", "null");

    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return 1;
    }
    const QDir dir(folder);
    bool ok = true;

    CFunctionDlg first;
    ok &= Shoot(first, dir.filePath(QStringLiteral("1-first-page.png")));

    CAboutDlg about(&first);
    ok &= Shoot(about, dir.filePath(QStringLiteral("2-about-box.png")));

    CSplitDlg split(&first);
    if (!splitSource.isEmpty())
        split.m_strSourcePath = QFileInfo(splitSource).absoluteFilePath();
    ok &= Shoot(split, dir.filePath(QStringLiteral("3-split-page.png")), [&split] {
        if (!split.m_strSourcePath.isEmpty())
            PrepareSplitPage(split);
    });
    if (!split.m_strSourcePath.isEmpty())
        ok &= ShootSplitBalloon(split, dir.filePath(QStringLiteral("3b-split-balloon.png")));

    // With the split page's MP3 as its source, the dialog offers to keep the
    // original sound.
    CConvertDlg settings;
    settings.m_bMp3Output = true;
    settings.m_strOutputName = QStringLiteral("Song.mp3");
    settings.m_wszSourcePath = split.m_strSourcePath;
    ok &= Shoot(settings, dir.filePath(QStringLiteral("4-split-settings.png")));
    ok &= ShootRunningSplit(dir.filePath(QStringLiteral("4b-split-running.png")));

    CJoinDlg join(&first);
    ok &= Shoot(join, dir.filePath(QStringLiteral("5-join-page.png")));
    ok &= ShootJoinWithFiles(join, dir.filePath(QStringLiteral("5b-join-files.png")));
    ok &= ShootEncoderSettings(join, dir.filePath(QStringLiteral("5c-encoder-settings.png")));

    return ok ? 0 : 1;
}
