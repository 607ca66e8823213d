// The program speaks the user's language where it has a translation, and
// English everywhere else.

#include "AboutDlg.h"
#include "FunctionDlg.h"
#include "FunctionDlgIds.h"
#include "JoinDlg.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"
#include "TarnwickVersion.h"
#include "TracksPage.h"
#include "Translations.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

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

// The letter Alt reaches `text` by ("&&" is a plain "&"); none when 0.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toUpper();
        ++i;
    }
    return QChar();
}

// Each Alt+letter shown on `page` with the texts that carry it.
std::map<QChar, QStringList> MnemonicsShown(QWidget& page)
{
    std::map<QChar, QStringList> shown;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&page))
            continue;
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            text = button->text();
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            text = label->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w); group && group->isCheckable())
            text = group->title();
        if (const QChar letter = Mnemonic(text); !letter.isNull())
            shown[letter] << text;
    }
    return shown;
}

} // namespace

// A keyboard user's Alt+letter goes to one control, whatever the language:
// two controls on one letter make Alt only move between them.
TEST(Translations, EachAltLetterOnAPageReachesOneControlInEveryLanguage)
{
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> pages{
        {"first page", [] { return std::make_unique<CFunctionDlg>(); }},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }},
        {"join page", [] { return std::make_unique<CJoinDlg>(); }},
        {"tracks page", [] { return std::make_unique<CTracksPage>(); }},
    };
    for (const char* locale : {"en_US", "de_DE", "zh_CN"}) {
        CTranslations translations;
        translations.Install(QLocale(QString::fromLatin1(locale)));
        for (const auto& [name, make] : pages) {
            SCOPED_TRACE(std::string(locale) + " " + name);
            std::unique_ptr<QWidget> page = make();
            page->show();
            for (const auto& [letter, texts] : MnemonicsShown(*page))
                EXPECT_EQ(texts.size(), 1) << "Alt+" << QString(letter).toStdString() << ": "
                                           << texts.join(QStringLiteral(", ")).toStdString();
        }
    }
}

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
