// Template 129 (split page) and template 131 (split settings dialog).

#include "ConvertDlg.h"
#include "ConvertDlgIds.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"

using namespace ui;

namespace {

DialogControl Skinned(int id, QRect rect)
{
    return {id, ControlKind::PushButton, QString(), rect, StyleTabStop};
}

} // namespace

const DialogTemplate& SplitDlgTemplate()
{
    using namespace split_ids;
    // The page has a taskbar entry of its own while the first page is hidden.
    static const DialogTemplate t{
        IDD_SPLIT, QStringLiteral("Tarnwick"), true, true, QStringLiteral("MS Sans Serif"), 12,
        QSize(276, 160),
        {
            {IDC_STATIC, ControlKind::Bitmap, QString(), {3, 9, 47, 125}, StyleNone, IDB_BANNER},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {53, 0, 215, 47}},
            {IDC_DURATION, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Duration:00:00:00"), {61, 8, 79, 9}},
            {IDC_CURRENT_TIME, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Current Time:00:00:00"),
             {161, 8, 95, 9}},
            {IDC_POSITION, ControlKind::TrackBar, QString(), {54, 16, 210, 12},
             StyleTabStop | StyleNoTicks | StyleTransparent},
            Skinned(IDC_ADD_CURRENT, {67, 32, 97, 10}),
            Skinned(IDC_PLAY, {178, 32, 10, 10}),
            Skinned(IDC_PAUSE, {191, 32, 10, 10}),
            Skinned(IDC_FAST_BACKWARD, {204, 32, 10, 10}),
            Skinned(IDC_FAST_FORWARD, {217, 32, 10, 10}),
            Skinned(IDC_SEEK_BEGIN, {230, 32, 10, 10}),
            Skinned(IDC_SEEK_END, {243, 32, 10, 10}),
            {IDC_STATIC, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Breakpoint:"), {54, 50, 76, 9}},
            {IDC_BREAKPOINTS, ControlKind::ListBox, QString(), {54, 61, 76, 80},
             StyleTabStop | StyleNotify | StyleSorted | StyleVScroll | StyleBorder
                 | StyleNoIntegralHeight},
            {IDC_STATIC, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Input break point(time)\neg.00:00:00"),
             {145, 51, 114, 16}},
            {IDC_TYPED_TIME, ControlKind::Edit, QString(), {146, 71, 91, 12},
             StyleTabStop | StyleAutoHScroll | StyleBorder},
            Skinned(IDC_ADD_TYPED, {235, 71, 19, 13}),
            {IDC_STATIC, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Output Directory:"), {146, 84, 90, 9}},
            {IDC_OUTPUT_DIR, ControlKind::Edit, QString(), {146, 100, 91, 12},
             StyleTabStop | StyleReadOnly | StyleAutoHScroll | StyleBorder},
            Skinned(IDC_BROWSE_OUTPUT, {237, 98, 17, 16}),
            {IDC_STATIC, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Output Format:"), {147, 124, 61, 9}},
            {IDC_OUTPUT_FORMAT, ControlKind::ComboBox, QString(), {206, 123, 44, 31},
             StyleTabStop | StyleDropDownList | StyleSorted, 0,
             {QStringLiteral("Mp3"), QStringLiteral("Wav")}},
            Skinned(IDC_HELP, {48, 146, 38, 11}),
            Skinned(IDC_HOME_PAGE, {94, 146, 38, 11}),
            Skinned(IDC_BACK, {140, 146, 38, 11}),
            Skinned(IDC_SPLIT_NEXT, {186, 146, 38, 11}),
            Skinned(IDC_EXIT, {232, 146, 38, 11}),
            // Below the format box, in the free strip above the bottom row;
            // last in the tab order so the other stops keep theirs.
            {IDC_TRACKS, ControlKind::PushButton, QT_TRANSLATE_NOOP("DialogTemplate", "Tracks..."), {206, 136, 44, 9},
             StyleTabStop},
        }};
    return t;
}

const DialogTemplate& ConvertDlgTemplate()
{
    using namespace convert_ids;
    // A modal frame without a title bar.
    static const DialogTemplate t{
        IDD_CONVERT, QString(), false, false, QStringLiteral("Times New Roman"), 10, QSize(199, 95),
        {
            {IDC_BIT_RATE, ControlKind::ComboBox, QString(), {52, 19, 34, 52},
             StyleTabStop | StyleDropDownList | StyleSorted | StyleVScroll, 0,
             {QStringLiteral("320"), QStringLiteral("256"), QStringLiteral("224"),
              QStringLiteral("192"), QStringLiteral("160"), QStringLiteral("128"),
              QStringLiteral("112"), QStringLiteral("96"), QStringLiteral("80"),
              QStringLiteral("64")}},
            {IDC_SAMPLE_RATE, ControlKind::ComboBox, QString(), {164, 20, 29, 40},
             StyleTabStop | StyleDropDown | StyleSorted | StyleVScroll, 0,
             {QStringLiteral("48"), QStringLiteral("44.1"), QStringLiteral("32"),
              QStringLiteral("24"), QStringLiteral("22.05"), QStringLiteral("16")}},
            {IDC_BIT_RATE_LABEL, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Bit Rate(kbps):"), {5, 19, 46, 8}},
            {IDC_SAMPLE_RATE_LABEL, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Sample Rate(KHz):"),
             {101, 22, 59, 8}},
            // Above the rates it makes moot; after them in the tab order.
            {IDC_KEEP_ORIGINAL, ControlKind::CheckBox, QT_TRANSLATE_NOOP("DialogTemplate", "Keep the original sound (no re-encoding)"),
             {5, 5, 150, 10}, StyleTabStop},
            Skinned(IDC_START, {110, 40, 38, 11}),
            Skinned(IDC_CANCEL_SPLIT, {154, 40, 38, 11}),
            {IDC_FILE_NAME, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "FileName:"), {7, 55, 187, 8}},
            {IDC_PROGRESS, ControlKind::Progress, QString(), {7, 66, 188, 15}, StyleBorder},
            {IDC_TIME_RANGE, ControlKind::Static, QString(), {6, 84, 185, 9}},
        }};
    return t;
}
