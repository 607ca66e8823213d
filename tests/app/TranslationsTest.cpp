// The program speaks the user's language where it has a translation, and
// English everywhere else.

#include "AboutDlg.h"
#include "FunctionDlg.h"
#include "FunctionDlgIds.h"
#include "JoinDlg.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"
#include "TarnwickVersion.h"
#include "Translations.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace function_ids;

namespace {

struct Shown {
    QString sourceLabel;   // first page, label 1040
    QString nextTip;       // first page, Next
    QString splitChoice;   // first page, radio 1019
    QString typedLabelTip; // split page, the slider's name
    QString ok;            // about box
};

Shown TextsShown()
{
    CFunctionDlg first;
    first.show();
    CSplitDlg split;
    split.show();
    CAboutDlg about;
    about.show();
    return {first.GetDlgItemText(IDC_SOURCE_LABEL), first.GetDlgItem(IDC_NEXT)->toolTip(),
            first.GetDlgItemText(IDC_SPLIT_CHOICE),
            split.GetDlgItem(split_ids::IDC_POSITION)->accessibleName(), about.GetDlgItemText(ui::IDOK)};
}

} // namespace

TEST(Translations, ThePagesSpeakTheLocalesLanguageOrEnglish)
{
    const struct {
        const char* locale;
        bool translated;
        Shown shown;
    } cases[] = {
        {"de_DE", true, {"Quelldatei:", "Weiter", "Datei teilen (MP3, WAV)", "Position", "OK"}},
        {"de_AT", true, {"Quelldatei:", "Weiter", "Datei teilen (MP3, WAV)", "Position", "OK"}},
        {"zh_CN", true, {"源文件：", "下一步", "分割文件（MP3、WAV）", "播放位置", "确定"}},
        {"fr_FR", false, {"Source File:", "Next", "Split the file(MP3,WAV);", "Position", "OK"}},
        {"en_US", false, {"Source File:", "Next", "Split the file(MP3,WAV);", "Position", "OK"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        CTranslations translations;
        EXPECT_EQ(translations.Install(QLocale(QString::fromLatin1(c.locale))), c.translated);
        const Shown shown = TextsShown();
        EXPECT_EQ(shown.sourceLabel, c.shown.sourceLabel);
        EXPECT_EQ(shown.nextTip, c.shown.nextTip);
        EXPECT_EQ(shown.splitChoice, c.shown.splitChoice);
        EXPECT_EQ(shown.typedLabelTip, c.shown.typedLabelTip);
        EXPECT_EQ(shown.ok, c.shown.ok);
    }
    // Once the translations go, English is back.
    EXPECT_EQ(TextsShown().nextTip, QStringLiteral("Next"));
}

TEST(AboutBox, ShowsTheNameVersionAndCopyrightBesideTheIconAndSaysOk)
{
    CAboutDlg about;
    about.show();
    const QString text = about.GetDlgItemText(IDC_ABOUT_TEXT);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Tarnwick " TARNWICK_VERSION "\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Copyright \u00a9 2026 The Tarnwick developers")));
    EXPECT_EQ(about.GetDlgItemText(ui::IDOK), QStringLiteral("OK"));
    // Within the box, between the icon and the button.
    const QRect shown = about.GetDlgItem(IDC_ABOUT_TEXT)->geometry();
    EXPECT_TRUE(about.rect().contains(shown));
    EXPECT_FALSE(shown.intersects(about.GetDlgItem(ui::IDOK)->geometry()));
}
