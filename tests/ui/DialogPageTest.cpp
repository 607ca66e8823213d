#include "DialogPage.h"
#include "GuiTestSupport.h"
#include "PrivateMessage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

using namespace ui;

namespace {

const DialogTemplate& SampleTemplate()
{
    static const DialogTemplate t{
        900, QStringLiteral("Sample"), true, false, QStringLiteral("MS Sans Serif"), 12, QSize(200, 120),
        {
            {IDC_STATIC, ControlKind::Bitmap, QString(), {3, 9, 47, 50}, StyleNone, 243},
            {10, ControlKind::Static, QStringLiteral("Label:"), {60, 4, 60, 8}},
            {11, ControlKind::RadioButton, QStringLiteral("One"), {60, 14, 60, 10}, StyleGroup | StyleTabStop},
            {12, ControlKind::RadioButton, QStringLiteral("Two"), {60, 26, 60, 10}},
            {13, ControlKind::Edit, QString(), {60, 40, 80, 12}, StyleTabStop | StyleBorder},
            {14, ControlKind::PushButton, QStringLiteral("Push"), {150, 40, 38, 11}, StyleTabStop},
            {15, ControlKind::ComboBox, QString(), {60, 56, 40, 52},
             StyleTabStop | StyleDropDownList | StyleSorted, 0,
             {QStringLiteral("320"), QStringLiteral("96"), QStringLiteral("128"), QStringLiteral("64")}},
            {16, ControlKind::ComboBox, QString(), {110, 56, 40, 40}, StyleTabStop | StyleDropDown, 0,
             {QStringLiteral("b"), QStringLiteral("a")}},
            {17, ControlKind::ListBox, QString(), {60, 72, 40, 30}, StyleTabStop | StyleSorted | StyleBorder},
            {18, ControlKind::ListView, QString(), {110, 72, 80, 30}, StyleTabStop | StyleReport | StyleBorder},
            {19, ControlKind::TrackBar, QString(), {4, 104, 100, 12}, StyleTabStop | StyleNoTicks},
            {20, ControlKind::Progress, QString(), {110, 104, 80, 8}, StyleBorder},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {55, 10, 70, 28}},
        }};
    return t;
}

class SamplePage : public CDialogPage {
public:
    SamplePage() : CDialogPage(SampleTemplate()) {}
    int initCount = 0;
    std::vector<int> timerIds;
    std::vector<std::tuple<int, quintptr, qintptr>> messages;
    int okCount = 0;

protected:
    bool OnInitDialog() override
    {
        ++initCount;
        return true;
    }
    void OnTimer(int id) override { timerIds.push_back(id); }
    bool OnMessage(int message, quintptr wParam, qintptr lParam) override
    {
        messages.emplace_back(message, wParam, lParam);
        return true;
    }
    void OnOK() override
    {
        ++okCount;
        CDialogPage::OnOK();
    }
};

} // namespace

TEST(DialogPage, BuildsEveryTemplateControlAtTwoPixelsPerUnit)
{
    SamplePage page;
    testsupport::ExpectPageMatchesTemplate(page);
}

TEST(DialogPage, TabOrderIsTemplateOrder)
{
    SamplePage page;
    page.show();
    std::vector<int> order;
    for (QWidget* w = page.nextInFocusChain(); w != &page; w = w->nextInFocusChain()) {
        const QVariant id = w->property("controlId");
        if (id.isValid() && (w->focusPolicy() & Qt::TabFocus))
            order.push_back(id.toInt());
    }
    // One radio button of a group is a tab stop; arrows move within it.
    EXPECT_EQ(order, (std::vector<int>{11, 13, 14, 15, 16, 17, 18, 19}));
}

TEST(DialogPage, SortedComboListsItemsAsText)
{
    SamplePage page;
    auto* combo = page.DlgItem<QComboBox>(15);
    ASSERT_NE(combo, nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("128"), QStringLiteral("320"), QStringLiteral("64"),
                                  QStringLiteral("96")}));
    EXPECT_EQ(combo->currentIndex(), -1);
    page.AddComboString(15, QStringLiteral("224"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("224"));
    // An unsorted box keeps template order and appends.
    auto* plain = page.DlgItem<QComboBox>(16);
    EXPECT_EQ(plain->itemText(0), QStringLiteral("b"));
    EXPECT_TRUE(plain->isEditable());
    EXPECT_FALSE(combo->isEditable());
}

TEST(DialogPage, SortedListBoxSortsAddedItemsButNotInsertedOnes)
{
    SamplePage page;
    auto* list = page.DlgItem<QListView>(17);
    ASSERT_NE(list, nullptr);
    auto* strings = qobject_cast<QStringListModel*>(list->model());
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(page.AddListString(17, QStringLiteral("00:02:00")), 0);
    EXPECT_EQ(page.AddListString(17, QStringLiteral("00:01:00")), 0);
    EXPECT_EQ(page.AddListString(17, QStringLiteral("00:03:00")), 2);
    strings->insertRows(0, 1);
    strings->setData(strings->index(0), QStringLiteral("99:00:00"));
    EXPECT_EQ(strings->stringList(), (QStringList{QStringLiteral("99:00:00"), QStringLiteral("00:01:00"),
                                                  QStringLiteral("00:02:00"), QStringLiteral("00:03:00")}));
    EXPECT_EQ(page.AddListString(999, QStringLiteral("x")), -1);
}

TEST(DialogPage, DialogItemHelpersWorkByControlId)
{
    SamplePage page;
    page.CheckRadioButton(11, 12, 12);
    EXPECT_FALSE(page.IsDlgButtonChecked(11));
    EXPECT_TRUE(page.IsDlgButtonChecked(12));
    page.CheckRadioButton(11, 12, 11);
    EXPECT_TRUE(page.IsDlgButtonChecked(11));
    EXPECT_FALSE(page.IsDlgButtonChecked(12));

    page.SetDlgItemText(13, QStringLiteral("/path/With Case.MP3"));
    EXPECT_EQ(page.GetDlgItemText(13), QStringLiteral("/path/With Case.MP3"));
    page.SetDlgItemText(10, QStringLiteral("Changed"));
    EXPECT_EQ(page.DlgItem<QLabel>(10)->text(), QStringLiteral("Changed"));
    page.SetDlgItemText(16, QStringLiteral("typed"));
    EXPECT_EQ(page.GetDlgItemText(16), QStringLiteral("typed"));

    page.EnableWindow(14, false);
    EXPECT_FALSE(page.GetDlgItem(14)->isEnabled());
    page.ShowWindow(14, false);
    EXPECT_TRUE(page.GetDlgItem(14)->isHidden());
    EXPECT_EQ(page.GetDlgItem(999), nullptr);
    EXPECT_EQ(page.GetDlgItem(IDC_STATIC), nullptr);
}

TEST(DialogPage, SetUpRunsOnceWhenFirstShownAndFocusesFirstTabStop)
{
    SamplePage page;
    EXPECT_EQ(page.initCount, 0);
    page.show();
    page.hide();
    page.show();
    EXPECT_EQ(page.initCount, 1);
    EXPECT_EQ(page.focusWidget(), page.GetDlgItem(11));
}

TEST(DialogPage, PagesAndTheirLabelsAreWhite)
{
    SamplePage page;
    page.show();
    const QImage image = page.grab().toImage();
    EXPECT_EQ(image.pixelColor(page.width() - 3, 3), QColor(Qt::white));
    // Right of the label's text, still inside the label.
    const QRect label = page.GetDlgItem(10)->geometry();
    EXPECT_EQ(image.pixelColor(label.right() - 1, label.center().y()), QColor(Qt::white));
}

TEST(DialogPage, PictureShowsItsBitmapResource)
{
    SamplePage page;
    auto* picture = qobject_cast<QLabel*>(testsupport::ControlAtRow(page, 0));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(94, 250));
}

TEST(DialogPage, TimersFireByIdUntilKilled)
{
    SamplePage page;
    EXPECT_EQ(page.SetTimer(56, 5), 56);
    EXPECT_TRUE(page.IsTimerRunning(56));
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.timerIds.size() >= 2; }, 5000));
    EXPECT_TRUE(page.KillTimer(56));
    EXPECT_FALSE(page.KillTimer(56));
    EXPECT_FALSE(page.IsTimerRunning(56));
    const auto fired = std::count(page.timerIds.begin(), page.timerIds.end(), 56);
    // Another timer of the same period fires a few times: the killed one
    // would have too.
    page.SetTimer(57, 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::count(page.timerIds.begin(), page.timerIds.end(), 57) >= 3; },
                                5000));
    EXPECT_EQ(std::count(page.timerIds.begin(), page.timerIds.end(), 56), fired);
}

TEST(DialogPage, PostedMessagesArriveLaterWithTheirNumber)
{
    SamplePage page;
    constexpr int kAppMessage = WM_APP + 1;
    constexpr int kUserMessage = WM_USER + 20;
    page.PostMessage(kAppMessage, 7, -3);
    PostMessage(&page, kUserMessage, 1, 2);
    EXPECT_TRUE(page.messages.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(page.messages.size(), 2u);
    EXPECT_EQ(page.messages[0], std::make_tuple(kAppMessage, quintptr(7), qintptr(-3)));
    EXPECT_EQ(std::get<0>(page.messages[1]), kUserMessage);
}

TEST(DialogPage, EnterIsTheOkCommandUnlessAButtonHasTheFocus)
{
    SamplePage page;
    page.show();
    bool pushed = false;
    QObject::connect(page.DlgItem<QPushButton>(14), &QPushButton::clicked, [&] { pushed = true; });
    page.GetDlgItem(14)->setFocus();
    QTest::keyClick(page.GetDlgItem(14), Qt::Key_Return);
    EXPECT_TRUE(pushed);
    EXPECT_EQ(page.okCount, 0);

    page.GetDlgItem(13)->setFocus();
    QTest::keyClick(page.GetDlgItem(13), Qt::Key_Return);
    EXPECT_EQ(page.okCount, 1);
    EXPECT_EQ(page.Result(), IDOK);
    EXPECT_FALSE(page.isVisible());
}

TEST(DialogPage, EscapeAndCloseBoxEndWithCancel)
{
    SamplePage esc;
    esc.show();
    QTest::keyClick(&esc, Qt::Key_Escape);
    EXPECT_EQ(esc.Result(), IDCANCEL);
    EXPECT_FALSE(esc.isVisible());

    SamplePage closed;
    closed.show();
    closed.close();
    EXPECT_EQ(closed.Result(), IDCANCEL);
}

TEST(DialogPage, ModalRunReturnsTheEndCodeAndSurvivesBeingHidden)
{
    SamplePage page;
    // The wizard hides a page while the next one runs; only EndDialog ends
    // the modal run.
    QTimer::singleShot(0, &page, [&] { page.hide(); });
    QTimer::singleShot(20, &page, [&] { page.show(); });
    QTimer::singleShot(40, &page, [&] { page.EndDialog(IDCANCEL); });
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    EXPECT_EQ(page.initCount, 1);

    SamplePage second;
    QTimer::singleShot(0, &second, [&] { second.EndDialog(IDOK); });
    EXPECT_EQ(second.DoModal(), IDOK);
}

TEST(DialogPage, ModalRunHookStandsInForThePerson)
{
    testsupport::ModalRunRecorder runs([](CDialogPage&) { return IDCANCEL; });
    SamplePage page;
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    EXPECT_EQ(runs.Runs().size(), 1);
}
