// Every page as a screen reader meets it: each control that takes the
// keyboard has a name to say, and a field's name is the label beside it.

#include "AboutDlg.h"
#include "ConvertDlg.h"
#include "EncoderSettingsDlg.h"
#include "FunctionDlg.h"
#include "JoinDlg.h"
#include "SplitDlg.h"
#include "TracksPage.h"
#include "media/graph/FilterRegistry.h"

#include <QAccessible>
#include <QLabel>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Makes one page as the program shows it. A new page is one more row.
struct PageMaker {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

std::shared_ptr<CBaseFilter> MakeEncoder()
{
    std::shared_ptr<CBaseFilter> encoder;
    EXPECT_TRUE(SUCCEEDED(CreateFilter(clsid::LameEncoder, &encoder)));
    return encoder;
}

const std::vector<PageMaker>& PageMakers()
{
    static const std::vector<PageMaker> makers{
        {"first page", [] { return std::make_unique<CFunctionDlg>(); }},
        {"about box", [] { return std::make_unique<CAboutDlg>(); }},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }},
        {"split settings", [] { return std::make_unique<CConvertDlg>(); }},
        {"join page", [] { return std::make_unique<CJoinDlg>(); }},
        {"tracks page", [] { return std::make_unique<CTracksPage>(); }},
        {"join settings",
         [] { return std::make_unique<CEncoderSettingsDlg>(MakeEncoder(), std::vector<std::string>{"a.mp3"},
                                                           tags::MergeTagChoices{}); }},
    };
    return makers;
}

QString AccessibleText(QWidget* w, QAccessible::Text which)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    return accessible ? accessible->text(which) : QString();
}

// The controls of `page` that Tab can reach (disabled ones included: they
// take the keyboard once enabled), the edit field inside a combo box too.
QList<QWidget*> FocusableControls(QWidget& page)
{
    QList<QWidget*> controls;
    for (QWidget* w : page.findChildren<QWidget*>())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isWindow() && w->isVisibleTo(&page))
            controls << w;
    return controls;
}

std::string Describe(QWidget* w)
{
    return std::string(w->metaObject()->className()) + " " + w->objectName().toStdString();
}

} // namespace

TEST(Accessibility, EveryFocusableControlOnEveryPageHasAName)
{
    for (const PageMaker& maker : PageMakers()) {
        SCOPED_TRACE(maker.name);
        std::unique_ptr<QWidget> page = maker.make();
        page->show();
        const QList<QWidget*> controls = FocusableControls(*page);
        EXPECT_FALSE(controls.isEmpty());
        for (QWidget* w : controls)
            EXPECT_FALSE(AccessibleText(w, QAccessible::Name).trimmed().isEmpty()) << Describe(w);
    }
}

TEST(Accessibility, AFieldIsNamedByTheLabelBesideItWhichIsItsBuddy)
{
    struct Field {
        const char* page;
        std::function<std::unique_ptr<QWidget>()> make;
        const char* objectName;
        const char* name;
    };
    const Field fields[] = {
        {"first page", [] { return std::make_unique<CFunctionDlg>(); }, "id1012", "Source File"},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }, "id1010", "Input break point(time) eg.00:00:00"},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }, "id1009", "Breakpoint"},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }, "id1014", "Output Directory"},
        {"split page", [] { return std::make_unique<CSplitDlg>(); }, "id1056", "Output Format"},
        {"split settings", [] { return std::make_unique<CConvertDlg>(); }, "id1037", "Bit Rate(kbps)"},
        {"join page", [] { return std::make_unique<CJoinDlg>(); }, "id1060", "Output Format"},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(testing::Message() << f.page << " " << f.objectName);
        std::unique_ptr<QWidget> page = f.make();
        page->show();
        auto* field = page->findChild<QWidget*>(QLatin1String(f.objectName));
        ASSERT_NE(field, nullptr);
        // A combo box says its choice as its name; the label comes through
        // the buddy, as a "labelled by" relation.
        EXPECT_EQ(field->accessibleName(), QLatin1String(f.name));
        int buddies = 0;
        for (QLabel* label : page->findChildren<QLabel*>())
            buddies += label->buddy() == field;
        EXPECT_EQ(buddies, 1);
    }
}

TEST(Accessibility, SkinnedButtonsSayTheirTipsAndUnlabelledControlsAreDescribed)
{
    CSplitDlg split;
    split.show();
    CJoinDlg join;
    join.show();
    const struct {
        QWidget* page;
        const char* objectName;
        const char* name;
        bool described;
    } controls[] = {
        {&split, "id1017", "Next", false},
        {&split, "id1018", "Exit", false},
        {&split, "id1006", "Fast foreward", true},
        {&split, "id1000", "Position", true},
        {&split, "id1010", "Input break point(time) eg.00:00:00", true},
        {&join, "id1072", "Setting", true},
        {&join, "id1062", "Files to join", true},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.objectName);
        auto* w = c.page->findChild<QWidget*>(QLatin1String(c.objectName));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(AccessibleText(w, QAccessible::Name), QLatin1String(c.name));
        // Without a description of its own a control offers its tooltip.
        const QString description = AccessibleText(w, QAccessible::Description);
        EXPECT_EQ(!description.isEmpty() && description != w->toolTip(), c.described)
            << description.toStdString();
    }
}
