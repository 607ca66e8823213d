// The split settings dialog: its set-up and its buttons.

#include "ConvertDlg.h"
#include "ConvertDlgIds.h"
#include "GuiTestSupport.h"
#include "SkinButton.h"

#include <QComboBox>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList Items(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

TEST(SplitSettings, MatchesTemplate131WithoutTitleBar)
{
    CConvertDlg dialog;
    dialog.show();
    testsupport::ExpectPageMatchesTemplate(dialog);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowTitleHint);
}

TEST(SplitSettings, RatesAreSortedAsTextWithDefaultsSelected)
{
    using namespace convert_ids;
    CConvertDlg dialog;
    dialog.show();
    auto* bitRate = dialog.DlgItem<QComboBox>(IDC_BIT_RATE);
    auto* sampleRate = dialog.DlgItem<QComboBox>(IDC_SAMPLE_RATE);
    EXPECT_EQ(Items(bitRate), QString("112 128 160 192 224 256 320 64 80 96").split(' '));
    EXPECT_EQ(Items(sampleRate), QString("16 22.05 24 32 44.1 48").split(' '));
    EXPECT_EQ(bitRate->currentText(), QStringLiteral("192"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SAMPLE_RATE), QStringLiteral("44.1"));
    EXPECT_FALSE(bitRate->isEditable());
    EXPECT_TRUE(sampleRate->isEditable());
    auto* progress = dialog.DlgItem<QProgressBar>(IDC_PROGRESS);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 200);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_FILE_NAME), QStringLiteral("FileName:"));
    EXPECT_TRUE(dialog.GetDlgItemText(IDC_TIME_RANGE).isEmpty());
}

TEST(SplitSettings, WavOutputHidesTheEncoderSettings)
{
    using namespace convert_ids;
    for (bool mp3 : {true, false}) {
        CConvertDlg dialog;
        dialog.m_bMp3Output = mp3;
        dialog.show();
        for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE, IDC_BIT_RATE_LABEL, IDC_SAMPLE_RATE_LABEL})
            EXPECT_EQ(dialog.GetDlgItem(id)->isVisible(), mp3) << id;
        EXPECT_TRUE(dialog.GetDlgItem(IDC_START)->isVisible());
    }
}

TEST(SplitSettings, OutputNameTakesTheFormatsExtension)
{
    CConvertDlg wav;
    wav.m_bMp3Output = false;
    wav.m_strOutputName = QStringLiteral("Live.Mp3");
    wav.show();
    EXPECT_EQ(wav.m_strOutputName, QStringLiteral("Live.wav"));

    CConvertDlg mp3;
    mp3.m_strOutputName = QStringLiteral("Chöre clip.wav");
    mp3.show();
    EXPECT_EQ(mp3.m_strOutputName, QStringLiteral("Chöre clip.mp3"));
}

TEST(SplitSettings, CancelEndsWithCancelAndStartDoesNothingYet)
{
    using namespace convert_ids;
    testsupport::MessageBoxRecorder boxes;
    CConvertDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.DlgItem<CSkinButton>(IDC_START)->toolTip(), QString());
    QTest::mouseClick(dialog.GetDlgItem(IDC_START), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(boxes.Boxes().empty());
    QTest::mouseClick(dialog.GetDlgItem(IDC_CANCEL_SPLIT), Qt::LeftButton);
    EXPECT_EQ(dialog.Result(), ui::IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}
