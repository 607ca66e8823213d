// The HTML handler's desktop entry and Exec line from any bytes: the bytes
// are read as an Exec line directly, and as a desktop file looked up in a
// scratch data folder, as the home page fallback reads them.

#include "DesktopEntry.h"
#include "FuzzCheck.h"
#include "Help.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_dataDir; // holds applications/fuzz.desktop

const QUrl& HomePage()
{
    static const QUrl url(QString::fromLatin1(help::kHomePageUrl));
    return url;
}

// Quotes each argument so that SplitCommandLine gives it back unchanged.
QString Quoted(const QStringList& args)
{
    QStringList quoted;
    for (QString arg : args) {
        for (const QChar special : {QLatin1Char('\\'), QLatin1Char('"'), QLatin1Char('`'), QLatin1Char('$')})
            arg.replace(special, QLatin1String("\\") + special);
        quoted << QLatin1Char('"') + arg + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(' '));
}

void CheckExecLine(const QString& line)
{
    FUZZ_CHECK(line.startsWith(help::CutAtPlaceholder(line)));
    FUZZ_CHECK(desktop::UnescapeValue(line).size() <= line.size());

    // The URL goes last, after a blank: whatever the template, it stays one
    // whole argument, or the line is refused.
    const QStringList command = help::FallbackCommand(line, HomePage());
    if (!command.isEmpty())
        FUZZ_CHECK(command.last() == QString::fromUtf8(HomePage().toEncoded()));

    if (const std::optional<QStringList> args = desktop::SplitCommandLine(line)) {
        const std::optional<QStringList> again = desktop::SplitCommandLine(Quoted(*args));
        FUZZ_CHECK(again && *again == *args);
    }
}

void CheckDesktopFile(const std::uint8_t* data, std::size_t size)
{
    QFile file(g_dataDir->path() + QStringLiteral("/applications/fuzz.desktop"));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    const std::optional<QString> exec = desktop::ExecTemplate(QStringLiteral("fuzz.desktop"), {g_dataDir->path()});
    if (exec)
        CheckExecLine(*exec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_dataDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarnwick-fuzz-desktop-XXXXXX"));
    FUZZ_CHECK(g_dataDir->isValid() && QDir(g_dataDir->path()).mkdir(QStringLiteral("applications")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckExecLine(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    CheckDesktopFile(data, size);
    return 0;
}
