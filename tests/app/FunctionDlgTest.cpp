#include "AboutDlg.h"
#include "FunctionDlg.h"
#include "FunctionDlgIds.h"
#include "GuiTestSupport.h"
#include "Help.h"
#include "JoinDlg.h"
#include "SkinButton.h"
#include "SplitDlg.h"
#include "ToolApp.h"
#include "TracksPage.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

using namespace function_ids;
using testsupport::FileDialogAnswers;
using testsupport::ModalRunRecorder;

namespace {

class FirstPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.show();
        launches = help::SetLaunchHook([this](const help::LaunchRequest& r) {
            launched.push_back(r);
            return true;
        });
    }
    void TearDown() override { help::SetLaunchHook(std::move(launches)); }

    QString SourceText() { return page.GetDlgItemText(IDC_SOURCE_PATH); }
    void ClickRadio(int id) { QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton, {}, QPoint(6, 10)); }

    CFunctionDlg page;
    std::vector<help::LaunchRequest> launched;
    help::LaunchHook launches;
};

// Once the next page runs modally, clicks its button `id` as a person would
// and notes which page it was. A missing page fails the test instead of
// leaving a modal loop running.
void ClickOnModalPage(int id, QString* pageClass)
{
    QTimer::singleShot(0, [id, pageClass] {
        auto* modal = qobject_cast<ui::CDialogPage*>(QApplication::activeModalWidget());
        if (!modal) {
            ADD_FAILURE() << "no page runs modally";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<ui::CDialogPage*>(w); p && p->isModal())
                    p->EndDialog(ui::IDCANCEL);
            return;
        }
        *pageClass = QString::fromLatin1(modal->metaObject()->className());
        QTest::mouseClick(modal->GetDlgItem(id), Qt::LeftButton);
    });
}

} // namespace

TEST_F(FirstPage, MatchesTemplate102)
{
    testsupport::ExpectPageMatchesTemplate(page);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_FALSE(page.windowIcon().isNull());
}

TEST_F(FirstPage, OpensWithSplitChosenAndAnEmptyReadOnlySource)
{
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_SPLIT_CHOICE));
    EXPECT_FALSE(page.IsDlgButtonChecked(IDC_MERGE_CHOICE));
    EXPECT_TRUE(SourceText().isEmpty());
    EXPECT_TRUE(page.DlgItem<QLineEdit>(IDC_SOURCE_PATH)->isReadOnly());
    EXPECT_TRUE(page.GetDlgItem(IDC_SELECT_FILE)->isEnabled());
    EXPECT_FALSE(page.GetDlgItem(IDC_BACK)->isEnabled());
    EXPECT_FALSE(page.BrowseCancelled());
}

TEST_F(FirstPage, EveryPushButtonIsSkinnedWithItsTooltip)
{
    const std::vector<std::pair<int, QString>> buttons{
        {IDC_NEXT, QStringLiteral("Next")},         {IDC_BACK, QStringLiteral("Back")},
        {IDC_EXIT, QStringLiteral("Exit")},         {IDC_HELP, QStringLiteral("Help")},
        {IDC_SELECT_FILE, QStringLiteral("Select a File")},
        {IDC_FIRST_HOME_PAGE, QStringLiteral("Home Page")}};
    testsupport::ExpectSkinnedButtons<CSkinButton>(page, buttons);
}

TEST_F(FirstPage, ChoosingMergeClearsTheSourceAndDisablesBrowsing)
{
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/music/a.mp3"));
    ClickRadio(IDC_MERGE_CHOICE);
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_MERGE_CHOICE));
    EXPECT_TRUE(SourceText().isEmpty());
    EXPECT_FALSE(page.GetDlgItem(IDC_SELECT_FILE)->isEnabled());

    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("left over"));
    ClickRadio(IDC_SPLIT_CHOICE);
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_SPLIT_CHOICE));
    EXPECT_TRUE(SourceText().isEmpty());
    EXPECT_TRUE(page.GetDlgItem(IDC_SELECT_FILE)->isEnabled());
}

TEST_F(FirstPage, BrowseFillsTheSourceOrKeepsItWhenCancelled)
{
    FileDialogAnswers answers;
    answers.Choose({QStringLiteral("/home/me/My Music/Song.MP3")});
    answers.Cancel();
    page.GetDlgItem(IDC_SELECT_FILE)->setFocus();
    QTest::mouseClick(page.GetDlgItem(IDC_SELECT_FILE), Qt::LeftButton);
    EXPECT_EQ(SourceText(), QStringLiteral("/home/me/My Music/Song.MP3"));
    EXPECT_FALSE(page.BrowseCancelled());

    page.OnBrowse();
    EXPECT_EQ(SourceText(), QStringLiteral("/home/me/My Music/Song.MP3"));
    EXPECT_TRUE(page.BrowseCancelled());

    ASSERT_EQ(answers.Requests().size(), 2u);
    EXPECT_EQ(answers.Requests()[0].kind, ui::FileDialogKind::Open);
    EXPECT_EQ(answers.Requests()[0].parent, &page);
    EXPECT_EQ(answers.Requests()[0].filters,
              (QStringList{QStringLiteral("Audio File (*.mp3 *.wav)"), QStringLiteral("Mp3 File (*.mp3)"),
                           QStringLiteral("WAVE File (*.wav)"), QStringLiteral("*.* (*)")}));
}

TEST_F(FirstPage, NextWithSplitOpensTheSplitPageWithThePathAsChosen)
{
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/Music/Mixed Case/Song.MP3"));
    QString handedOver;
    bool firstPageHidden = false;
    ModalRunRecorder runs([&](ui::CDialogPage& second) {
        handedOver = dynamic_cast<CSplitDlg&>(second).m_strSourcePath;
        firstPageHidden = !page.isVisible();
        return ui::IDOK;
    });
    QTest::mouseClick(page.GetDlgItem(IDC_NEXT), Qt::LeftButton);
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CSplitDlg")});
    EXPECT_EQ(handedOver, QStringLiteral("/Music/Mixed Case/Song.MP3"));
    EXPECT_TRUE(firstPageHidden);
}

TEST_F(FirstPage, NextWithAnEmptySourceAsksForAFile)
{
    FileDialogAnswers answers;
    answers.Choose({QStringLiteral("/tmp/x.wav")});
    QString handedOver;
    ModalRunRecorder runs([&](ui::CDialogPage& second) {
        handedOver = dynamic_cast<CSplitDlg&>(second).m_strSourcePath;
        return ui::IDOK;
    });
    page.OnNext();
    EXPECT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(handedOver, QStringLiteral("/tmp/x.wav"));
    EXPECT_EQ(SourceText(), QStringLiteral("/tmp/x.wav"));
}

TEST_F(FirstPage, CancellingTheFileDialogDuringNextOpensNothing)
{
    FileDialogAnswers answers;
    answers.Cancel();
    ModalRunRecorder runs;
    page.OnNext();
    EXPECT_TRUE(runs.Runs().isEmpty());
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(SourceText().isEmpty());
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_SPLIT_CHOICE));
}

TEST_F(FirstPage, NextWithMergeOpensTheJoinPageWithoutReadingTheSource)
{
    ClickRadio(IDC_MERGE_CHOICE);
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("ignored"));
    FileDialogAnswers answers;
    ModalRunRecorder runs;
    page.OnNext();
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CJoinDlg")});
    EXPECT_TRUE(answers.Requests().empty());
}

TEST_F(FirstPage, BackOnTheSecondPageShowsTheFirstPageUnchanged)
{
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/a/b.mp3"));
    ModalRunRecorder runs;   // every second page ends with Back (IDOK)
    page.OnNext();
    page.OnNext();
    EXPECT_EQ(runs.Runs().size(), 2);
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(SourceText(), QStringLiteral("/a/b.mp3"));
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_SPLIT_CHOICE));
}

TEST_F(FirstPage, TheSecondPageOpensWhereTheFirstWasAndBackPutsTheFirstWhereTheSecondWas)
{
    struct Case {
        int choice;
        QPoint firstAt;
        QPoint secondMovedBy; // what the person does with the second page
    };
    const Case cases[] = {
        {IDC_MERGE_CHOICE, {300, 200}, {0, 0}},
        {IDC_SPLIT_CHOICE, {40, 500}, {0, 0}},
        {IDC_MERGE_CHOICE, {120, 90}, {250, 60}},
    };
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/a/b.mp3"));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstAt.x() << "," << c.firstAt.y());
        ClickRadio(c.choice);
        page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/a/b.mp3"));
        page.move(c.firstAt);
        const QPoint firstCentre = page.frameGeometry().center();
        QPoint secondCentre, secondLeftAt;
        ModalRunRecorder runs([&](ui::CDialogPage& second) {
            second.show(); // on screen, frame and all, as its modal run shows it
            secondCentre = second.frameGeometry().center();
            second.move(second.pos() + c.secondMovedBy);
            secondLeftAt = second.frameGeometry().center();
            second.hide();
            return ui::IDOK;
        });
        page.OnNext();
        ASSERT_EQ(runs.Runs().size(), 1);
        EXPECT_LE((secondCentre - firstCentre).manhattanLength(), 2);
        EXPECT_TRUE(page.isVisible());
        EXPECT_LE((page.frameGeometry().center() - secondLeftAt).manhattanLength(), 2);
    }
}

TEST_F(FirstPage, LeavingTheSecondPageOtherwiseEndsTheProgram)
{
    ClickRadio(IDC_MERGE_CHOICE);
    ModalRunRecorder runs([](ui::CDialogPage&) { return ui::IDCANCEL; });
    page.OnNext();
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(page.Result(), ui::IDCANCEL);
}

TEST_F(FirstPage, SecondPageBackButtonReallyReturnsToTheFirstPage)
{
    // The real pages, run modally: Back on the split page, then Exit on the
    // join page.
    page.SetDlgItemText(IDC_SOURCE_PATH, QStringLiteral("/a/b.mp3"));
    QString backFrom;
    ClickOnModalPage(page_ids::IDC_BACK, &backFrom);
    page.OnNext();
    EXPECT_EQ(backFrom, QStringLiteral("CSplitDlg"));
    EXPECT_TRUE(page.isVisible());

    ClickRadio(IDC_MERGE_CHOICE);
    QString exitFrom;
    ClickOnModalPage(page_ids::IDC_EXIT, &exitFrom);
    page.OnNext();
    EXPECT_EQ(exitFrom, QStringLiteral("CJoinDlg"));
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(page.Result(), ui::IDCANCEL);
}

TEST_F(FirstPage, EnterDoesNotCloseThePage)
{
    page.GetDlgItem(IDC_SOURCE_PATH)->setFocus();
    ModalRunRecorder runs;
    QTest::keyClick(page.GetDlgItem(IDC_SOURCE_PATH), Qt::Key_Return);
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(runs.Runs().isEmpty());
}

TEST_F(FirstPage, ExitEscapeAndCloseBoxEndTheProgram)
{
    QTest::mouseClick(page.GetDlgItem(IDC_EXIT), Qt::LeftButton);
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(page.Result(), ui::IDCANCEL);

    CFunctionDlg esc;
    esc.show();
    QTest::keyClick(&esc, Qt::Key_Escape);
    EXPECT_EQ(esc.Result(), ui::IDCANCEL);

    CFunctionDlg closed;
    closed.show();
    closed.close();
    EXPECT_EQ(closed.Result(), ui::IDCANCEL);
}

TEST_F(FirstPage, WindowMenuEndsWithSeparatorAndAboutEntry)
{
    std::unique_ptr<QMenu> menu(page.CreateSystemMenu());
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(actions.last()->text(), QStringLiteral("关于 Brevlin(&A)..."));

    ModalRunRecorder runs;
    actions.last()->trigger();
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CAboutDlg")});
    EXPECT_TRUE(page.isVisible());
}

TEST_F(FirstPage, RightClickAndMenuKeyOpenTheWindowMenu)
{
    for (auto reason : {QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard}) {
        QContextMenuEvent event(reason, QPoint(300, 250), page.mapToGlobal(QPoint(300, 250)));
        QCoreApplication::sendEvent(&page, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions().last()->text(), QStringLiteral("关于 Brevlin(&A)..."));
        menu->close();
        QCoreApplication::processEvents();
    }
}

TEST_F(FirstPage, OtherWindowMenuCommandsDoNotOpenTheAboutBox)
{
    ModalRunRecorder runs;
    page.OnSysCommand(0xF060);   // close
    page.OnSysCommand(0x0011);   // same command with its low bits set
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CAboutDlg")});
}

TEST_F(FirstPage, HelpButtonF1AndHomePageLaunch)
{
    QTest::mouseClick(page.GetDlgItem(IDC_HELP), Qt::LeftButton);
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QTest::keyClick(&page, Qt::Key_F1);
    QTest::mouseClick(page.GetDlgItem(IDC_FIRST_HOME_PAGE), Qt::LeftButton);
    ASSERT_EQ(launched.size(), 3u);
    EXPECT_EQ(launched[0].url, QUrl::fromLocalFile(help::HelpFilePath()));
    EXPECT_EQ(launched[1].url, launched[0].url);
    EXPECT_EQ(launched[2].url, QUrl(QString::fromLatin1(help::kHomePageUrl)));
}

TEST(AboutBox, MatchesTemplate100AndItsButtonEndsIt)
{
    CAboutDlg about;
    about.show();
    testsupport::ExpectPageMatchesTemplate(about);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tarnwick"));
    auto* button = about.GetDlgItem(ui::IDOK);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(about.GetDlgItemText(ui::IDOK), QStringLiteral("OK"));
    auto* icon = qobject_cast<QLabel*>(testsupport::ControlAtRow(about, 0));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(about.Result(), ui::IDOK);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(FirstPage, TabOrderFollowsTheTemplateAfterSkinning)
{
    std::vector<int> order;
    for (QWidget* w = page.nextInFocusChain(); w != &page; w = w->nextInFocusChain()) {
        const QVariant id = w->property("controlId");
        if (id.isValid() && id.toInt() != ui::IDC_STATIC && (w->focusPolicy() & Qt::TabFocus))
            order.push_back(id.toInt());
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_SPLIT_CHOICE, IDC_NEXT, IDC_EXIT, IDC_SOURCE_PATH,
                                       IDC_SELECT_FILE, IDC_BACK, IDC_HELP, IDC_FIRST_HOME_PAGE}));
}

TEST(StartFiles, OneFileOpensTheSplitPageSeveralTheJoinPage)
{
    EXPECT_EQ(StartFiles({"tarnwick", "--screenshots-not", "My Song.mp3", "--", "-odd.wav"}),
              (QStringList{QDir::current().absoluteFilePath("My Song.mp3"),
                           QDir::current().absoluteFilePath("-odd.wav")}));

    // Back on the split page shows the first page with split and the file
    // chosen; Exit there ends the program at once.
    for (int splitEnds : {ui::IDOK, ui::IDCANCEL}) {
        QString handedOver, source;
        bool splitChosen = false;
        ModalRunRecorder runs([&](ui::CDialogPage& page) {
            if (auto* split = dynamic_cast<CSplitDlg*>(&page)) {
                handedOver = split->m_strSourcePath;
                return splitEnds;
            }
            source = page.GetDlgItemText(IDC_SOURCE_PATH);
            splitChosen = page.IsDlgButtonChecked(IDC_SPLIT_CHOICE);
            return ui::IDCANCEL;
        });
        CToolApp app;
        app.InitInstance({QStringLiteral("/music/Ein Lied.mp3")});
        EXPECT_EQ(handedOver, QStringLiteral("/music/Ein Lied.mp3"));
        if (splitEnds == ui::IDOK) {
            EXPECT_EQ(runs.Runs(), (QStringList{"CSplitDlg", "CFunctionDlg"}));
            EXPECT_EQ(source, QStringLiteral("/music/Ein Lied.mp3"));
            EXPECT_TRUE(splitChosen);
        } else {
            EXPECT_EQ(runs.Runs(), QStringList{"CSplitDlg"});
        }
    }

    bool mergeChosen = false;
    ModalRunRecorder runs([&](ui::CDialogPage& page) {
        mergeChosen = page.IsDlgButtonChecked(IDC_MERGE_CHOICE);
        return ui::IDOK;
    });
    CToolApp app;
    app.InitInstance({QStringLiteral("/a.mp3"), QStringLiteral("/b.wav")});
    EXPECT_EQ(runs.Runs(), (QStringList{"CJoinDlg", "CFunctionDlg"}));
    EXPECT_TRUE(mergeChosen);
}

TEST(StartFiles, MergeOptionOpensTheJoinPageWithoutFiles)
{
    EXPECT_TRUE(MergeRequested({"tarnwick", "--merge"}));
    EXPECT_FALSE(MergeRequested({"tarnwick", "--", "--merge"}));
    ModalRunRecorder runs([](ui::CDialogPage&) { return ui::IDCANCEL; });
    CToolApp app;
    app.InitInstance({}, true);
    EXPECT_EQ(runs.Runs(), QStringList{"CJoinDlg"});
}

TEST(StartFiles, TracksOptionOpensTheTracksPageAndBackShowsTheFirstPage)
{
    EXPECT_TRUE(TracksRequested({"tarnwick", "--tracks", "a.mp3"}));
    EXPECT_FALSE(TracksRequested({"tarnwick", "a.mp3", "--", "--tracks"}));
    EXPECT_FALSE(TracksRequested({"tarnwick", "--merge", "a.mp3"}));
    for (int tracksEnds : {ui::IDOK, ui::IDCANCEL}) {
        QString handedOver, source;
        ModalRunRecorder runs([&](ui::CDialogPage& page) {
            if (auto* tracks = dynamic_cast<CTracksPage*>(&page)) {
                handedOver = tracks->m_strSourcePath;
                return tracksEnds;
            }
            source = page.GetDlgItemText(IDC_SOURCE_PATH);
            return ui::IDCANCEL;
        });
        CToolApp app;
        app.InitInstance({QStringLiteral("/music/Album.mp3")}, false, true);
        EXPECT_EQ(handedOver, QStringLiteral("/music/Album.mp3"));
        if (tracksEnds == ui::IDOK) {
            // Back: the first page, with the file chosen for a split.
            EXPECT_EQ(runs.Runs(), (QStringList{"CTracksPage", "CFunctionDlg"}));
            EXPECT_EQ(source, QStringLiteral("/music/Album.mp3"));
        } else {
            EXPECT_EQ(runs.Runs(), QStringList{"CTracksPage"});
        }
    }
}

TEST(StartFiles, TracksOptionWithSeveralFilesSaysSoAndOpensTheFirstOnTheTracksPage)
{
    testsupport::MessageBoxRecorder boxes;
    QString handedOver;
    std::size_t toldBefore = 0;
    ModalRunRecorder runs([&](ui::CDialogPage& page) {
        if (auto* tracks = dynamic_cast<CTracksPage*>(&page)) {
            handedOver = tracks->m_strSourcePath;
            toldBefore = boxes.Boxes().size();
        }
        return ui::IDCANCEL;
    });
    CToolApp app;
    app.InitInstance({QStringLiteral("/music/Side A.mp3"), QStringLiteral("/music/Side B.mp3")}, false, true);
    // Not the join page: the tracks page with the first file, after a box
    // that says why the second is not there.
    EXPECT_EQ(runs.Runs(), QStringList{"CTracksPage"});
    EXPECT_EQ(handedOver, QStringLiteral("/music/Side A.mp3"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(toldBefore, 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Information);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("Side A.mp3"))) << boxes.Boxes()[0].text.toStdString();

    // --merge as well: the join page takes them all, nothing to tell.
    CToolApp mergeApp;
    mergeApp.InitInstance({QStringLiteral("/music/Side A.mp3"), QStringLiteral("/music/Side B.mp3")}, true, true);
    EXPECT_EQ(runs.Runs(), (QStringList{"CTracksPage", "CJoinDlg"}));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}
