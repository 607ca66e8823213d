#include "DesktopEntry.h"
#include "GuiTestSupport.h"
#include "Help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <vector>
#include <gtest/gtest.h>

using help::CutAtPlaceholder;
using help::FallbackCommand;

namespace {

const QUrl kUrl(QStringLiteral("https://tarnwick.example.org/"));

class LaunchRecorder {
public:
    explicit LaunchRecorder(bool openUrlWorks)
    {
        m_previous = help::SetLaunchHook([this, openUrlWorks](const help::LaunchRequest& r) {
            requests.push_back(r);
            return r.kind == help::LaunchRequest::Kind::StartDetached || openUrlWorks;
        });
    }
    ~LaunchRecorder() { help::SetLaunchHook(std::move(m_previous)); }
    std::vector<help::LaunchRequest> requests;

private:
    help::LaunchHook m_previous;
};

void WriteFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Sets environment variables for one test and restores them afterwards.
class EnvOverride {
public:
    void Set(const char* name, const QString& value)
    {
        Remember(name);
        qputenv(name, value.toUtf8());
    }
    void Unset(const char* name)
    {
        Remember(name);
        qunsetenv(name);
    }
    ~EnvOverride()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

private:
    void Remember(const char* name)
    {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt);
    }
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

} // namespace

TEST(PlaceholderCut, QuotedPlaceholderAndEverythingAfterItGo)
{
    const QString t = QStringLiteral("\"C:\\Program Files\\Web\\browser.exe\" -nohome \"%1\" -extra");
    EXPECT_EQ(CutAtPlaceholder(t), QStringLiteral("\"C:\\Program Files\\Web\\browser.exe\" -nohome "));
    EXPECT_EQ(CutAtPlaceholder(t) + QStringLiteral(" ") + kUrl.toString(),
              QStringLiteral("\"C:\\Program Files\\Web\\browser.exe\" -nohome  https://tarnwick.example.org/"));
}

TEST(PlaceholderCut, UnquotedPlaceholderIsCutThere)
{
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("browser.exe %1 -x")), QStringLiteral("browser.exe "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("browser.exe -url=%1")), QStringLiteral("browser.exe -url="));
}

TEST(PlaceholderCut, QuotedPlaceholderWinsOverAnEarlierUnquotedOne)
{
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("b %1 \"%1\" tail")), QStringLiteral("b %1 "));
}

TEST(PlaceholderCut, TemplateWithoutPlaceholderStaysWhole)
{
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("\"C:\\b.exe\" -new")), QStringLiteral("\"C:\\b.exe\" -new"));
    EXPECT_EQ(CutAtPlaceholder(QString()), QString());
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("%")), QStringLiteral("%"));
}

TEST(PlaceholderCut, DesktopFieldCodesArePlaceholdersToo)
{
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("firefox-esr %u")), QStringLiteral("firefox-esr "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("chromium %U --flag")), QStringLiteral("chromium "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("viewer --open %f")), QStringLiteral("viewer --open "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("viewer %F")), QStringLiteral("viewer "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("viewer \"%u\"")), QStringLiteral("viewer "));
}

TEST(PlaceholderCut, EscapedPercentAndOtherCodesAreNoPlaceholders)
{
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("tool --zoom=100%%u %u")), QStringLiteral("tool --zoom=100%%u "));
    EXPECT_EQ(CutAtPlaceholder(QStringLiteral("tool %i %c")), QStringLiteral("tool %i %c"));
}

TEST(FallbackCommandLine, QuotedProgramPathWithBlanksStaysOneArgument)
{
    const QStringList argv = FallbackCommand(
        QStringLiteral("\"/opt/My Browser/browser\" --new-window \"%1\" --ignored"), kUrl);
    EXPECT_EQ(argv, (QStringList{QStringLiteral("/opt/My Browser/browser"),
                                 QStringLiteral("--new-window"), kUrl.toString()}));
}

TEST(FallbackCommandLine, DesktopExecTemplates)
{
    EXPECT_EQ(FallbackCommand(QStringLiteral("/usr/lib/firefox-esr/firefox-esr %u"), kUrl),
              (QStringList{QStringLiteral("/usr/lib/firefox-esr/firefox-esr"), kUrl.toString()}));
    // Icon and caption codes ahead of the placeholder expand to nothing here;
    // an escaped percent becomes one.
    EXPECT_EQ(FallbackCommand(QStringLiteral("browser %i --scale=100%% %U"), kUrl),
              (QStringList{QStringLiteral("browser"), QStringLiteral("--scale=100%"), kUrl.toString()}));
    EXPECT_EQ(FallbackCommand(QStringLiteral("browser"), kUrl),
              (QStringList{QStringLiteral("browser"), kUrl.toString()}));
}

TEST(FallbackCommandLine, ShellCharactersReachTheProgramUntouched)
{
    const QStringList argv =
        FallbackCommand(QStringLiteral("browser --x='a b' $HOME;rm \"%u\""), kUrl);
    EXPECT_EQ(argv, (QStringList{QStringLiteral("browser"), QStringLiteral("--x='a"),
                                 QStringLiteral("b'"), QStringLiteral("$HOME;rm"), kUrl.toString()}));
}

TEST(FallbackCommandLine, MalformedOrEmptyTemplatesLaunchNothing)
{
    EXPECT_TRUE(FallbackCommand(QStringLiteral("\"/opt/unterminated %u"), kUrl).isEmpty());
    EXPECT_EQ(FallbackCommand(QString(), kUrl), QStringList{kUrl.toString()});
}

TEST(DesktopEntry, SplitsByTheQuotingRules)
{
    EXPECT_EQ(desktop::SplitCommandLine(QStringLiteral("a  \"b c\" \"d\\\"e\" \"f\\\\g\" h\\i")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b c"), QStringLiteral("d\"e"),
                           QStringLiteral("f\\g"), QStringLiteral("h\\i")}));
    EXPECT_EQ(desktop::SplitCommandLine(QStringLiteral("\"\"")), QStringList{QString()});
    EXPECT_FALSE(desktop::SplitCommandLine(QStringLiteral("\"open")).has_value());
}

TEST(DesktopEntry, UnescapesStringValues)
{
    EXPECT_EQ(desktop::UnescapeValue(QStringLiteral("a\\sb\\\\c\\td")), QStringLiteral("a b\\c\td"));
}

TEST(DesktopEntry, FindsExecOfTheDesktopEntryGroupInDataDirsOrder)
{
    QTemporaryDir home, system;
    WriteFile(system.filePath(QStringLiteral("applications/web.desktop")),
              "[Desktop Entry]\nName=Web\nExec=/usr/bin/web %u\n");
    WriteFile(home.filePath(QStringLiteral("applications/web.desktop")),
              "[Desktop Action new]\nExec=/wrong\n[Desktop Entry]\nExec[de]=/wrong\n"
              "Exec=\"/home/me/My\\sApps/web\" %U\n");
    WriteFile(system.filePath(QStringLiteral("applications/vendor/tool.desktop")),
              "[Desktop Entry]\nExec=tool\n");
    const QStringList dirs{home.path(), system.path()};
    EXPECT_EQ(desktop::ExecTemplate(QStringLiteral("web.desktop"), dirs),
              QStringLiteral("\"/home/me/My Apps/web\" %U"));
    EXPECT_EQ(desktop::ExecTemplate(QStringLiteral("web.desktop"), {system.path()}),
              QStringLiteral("/usr/bin/web %u"));
    EXPECT_EQ(desktop::ExecTemplate(QStringLiteral("vendor-tool.desktop"), dirs), QStringLiteral("tool"));
    EXPECT_FALSE(desktop::ExecTemplate(QStringLiteral("none.desktop"), dirs).has_value());
    EXPECT_FALSE(desktop::ExecTemplate(QStringLiteral("../web.desktop"), dirs).has_value());
}

TEST(HomePage, OpensTheUrlThroughTheDesktop)
{
    LaunchRecorder launches(true);
    OpenHomePage();
    ASSERT_EQ(launches.requests.size(), 1u);
    EXPECT_EQ(launches.requests[0].kind, help::LaunchRequest::Kind::OpenUrl);
    EXPECT_EQ(launches.requests[0].url, kUrl);
}

TEST(HomePage, FallsBackToTheDefaultHtmlHandler)
{
    QTemporaryDir root;
    const QString config = root.filePath(QStringLiteral("config"));
    const QString data = root.filePath(QStringLiteral("data"));
    WriteFile(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/html=tarnwick-test-browser.desktop\n");
    WriteFile(data + QStringLiteral("/applications/tarnwick-test-browser.desktop"),
              "[Desktop Entry]\nType=Application\nName=Test\nMimeType=text/html;\n"
              "Exec=\"/opt/Test Browser/browser\" --new-tab \"%u\" --never\n");
    EnvOverride env;
    env.Set("XDG_CONFIG_HOME", config);
    env.Set("XDG_DATA_HOME", data);
    env.Set("XDG_DATA_DIRS", root.filePath(QStringLiteral("none")));
    env.Unset("XDG_CURRENT_DESKTOP");
    if (desktop::DefaultApplication(QStringLiteral("text/html")).isEmpty())
        GTEST_SKIP() << "xdg-mime is not available";

    LaunchRecorder launches(false);
    OpenHomePage();
    ASSERT_EQ(launches.requests.size(), 2u);
    EXPECT_EQ(launches.requests[0].kind, help::LaunchRequest::Kind::OpenUrl);
    EXPECT_EQ(launches.requests[1].kind, help::LaunchRequest::Kind::StartDetached);
    EXPECT_EQ(launches.requests[1].program, QStringLiteral("/opt/Test Browser/browser"));
    EXPECT_EQ(launches.requests[1].arguments,
              (QStringList{QStringLiteral("--new-tab"), kUrl.toString()}));
}

TEST(HelpAndHomePage, WithoutAnyHandlerAMessageSaysWhatFailedAndWhatToInstall)
{
    QTemporaryDir root;
    EnvOverride env;
    env.Set("XDG_CONFIG_HOME", root.path());
    env.Set("XDG_DATA_HOME", root.path());
    env.Set("XDG_DATA_DIRS", root.path());
    struct Case {
        const char* name;
        std::function<void()> press;
        QString named; // what the message names
    };
    const std::vector<Case> cases{
        {"help", [] { LaunchHelp(); }, QDir::toNativeSeparators(help::HelpFilePath())},
        {"F1", [] { OnCommandHelp(0); }, QDir::toNativeSeparators(help::HelpFilePath())},
        {"home page", [] { OpenHomePage(); }, kUrl.toString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LaunchRecorder launches(false);
        testsupport::MessageBoxRecorder boxes;
        c.press();
        EXPECT_EQ(launches.requests.size(), 1u); // no handler to fall back on
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const ui::MessageBoxRequest& box = boxes.Boxes()[0];
        EXPECT_TRUE(box.text.contains(c.named)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("Install"))) << box.text.toStdString();
        EXPECT_EQ(box.icon, ui::MessageIcon::Warning);
    }
    // A launch that works says nothing.
    LaunchRecorder works(true);
    testsupport::MessageBoxRecorder quiet;
    LaunchHelp();
    OpenHomePage();
    EXPECT_TRUE(quiet.Boxes().empty());
}

TEST(Help, TheManualInTheLocalesLanguageComesFirst)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString installed = root.filePath(QStringLiteral("share/doc/tarnwick/"));
    for (const char* name : {"Brevlin.html", "Brevlin_de.html", "Brevlin_zh_CN.html"})
        WriteFile(installed + QLatin1String(name), "<html/>");
    QDir().mkpath(bin);
    struct Case {
        QLocale::Language language;
        QLocale::Territory territory;
        const char* manual;
    };
    const Case cases[] = {
        {QLocale::German, QLocale::Germany, "Brevlin_de.html"},
        {QLocale::German, QLocale::Austria, "Brevlin_de.html"},
        {QLocale::Chinese, QLocale::China, "Brevlin_zh_CN.html"},
        {QLocale::Chinese, QLocale::Taiwan, "Brevlin.html"},
        {QLocale::French, QLocale::France, "Brevlin.html"},
        {QLocale::English, QLocale::UnitedStates, "Brevlin.html"},
    };
    for (const Case& c : cases) {
        const QLocale locale(c.language, c.territory);
        SCOPED_TRACE(locale.name().toStdString());
        EXPECT_EQ(help::HelpFileIn(bin, locale), installed + QLatin1String(c.manual));
    }
    // An English manual beside the executable comes before an installed translation.
    WriteFile(bin + QStringLiteral("/Brevlin.html"), "<html/>");
    EXPECT_EQ(help::HelpFileIn(bin, QLocale(QLocale::German, QLocale::Germany)),
              bin + QStringLiteral("/Brevlin.html"));
}

TEST(Help, OpensTheManualBesideTheExecutable)
{
    LaunchRecorder launches(true);
    LaunchHelp();
    ASSERT_EQ(launches.requests.size(), 1u);
    EXPECT_EQ(launches.requests[0].kind, help::LaunchRequest::Kind::OpenUrl);
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/Brevlin.html");
    EXPECT_EQ(launches.requests[0].url.toLocalFile(), expected);
}

TEST(Help, ManualBesideTheExecutableWinsOverTheInstalledOne)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString installed = root.filePath(QStringLiteral("share/doc/tarnwick/Brevlin.html"));
    QDir().mkpath(bin);
    EXPECT_EQ(help::HelpFileIn(bin), bin + QStringLiteral("/Brevlin.html"));
    WriteFile(installed, "<html/>");
    EXPECT_EQ(help::HelpFileIn(bin), installed);
    WriteFile(bin + QStringLiteral("/Brevlin.html"), "<html/>");
    EXPECT_EQ(help::HelpFileIn(bin), bin + QStringLiteral("/Brevlin.html"));
}

TEST(Help, F1StartsHelpAndOtherHelpRequestsAreSwallowed)
{
    LaunchRecorder launches(true);
    EXPECT_TRUE(OnCommandHelp(0));
    EXPECT_TRUE(OnCommandHelp(42));
    EXPECT_EQ(launches.requests.size(), 1u);
}
