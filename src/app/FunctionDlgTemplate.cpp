// Templates 102 (first page) and 100 (about box), in dialog units.

#include "AboutDlg.h"
#include "FunctionDlg.h"
#include "FunctionDlgIds.h"

using namespace function_ids;
using namespace ui;

const DialogTemplate& FunctionDlgTemplate()
{
    static const DialogTemplate t{
        IDD_FUNCTION, QStringLiteral("Tarnwick"), true, true, QStringLiteral("MS Sans Serif"), 12,
        QSize(275, 159),
        {
            {IDC_FUNCTION_LABEL, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "function:"), {52, 12, 123, 8}},
            {IDC_SPLIT_CHOICE, ControlKind::RadioButton, QT_TRANSLATE_NOOP("DialogTemplate", "Split the file(MP3,WAV);"),
             {54, 36, 121, 15}, StyleGroup | StyleTabStop},
            {IDC_MERGE_CHOICE, ControlKind::RadioButton,
             QT_TRANSLATE_NOOP("DialogTemplate", "Merge multiple files(MP3,WAV) to a large new one"), {54, 101, 212, 15}},
            {IDC_NEXT, ControlKind::PushButton, QString(), {184, 146, 38, 11},
             StyleTabStop | StyleDefault},
            {IDC_EXIT, ControlKind::PushButton, QString(), {229, 146, 38, 11}, StyleTabStop},
            {IDC_SOURCE_PATH, ControlKind::Edit, QString(), {65, 64, 175, 14},
             StyleTabStop | StyleReadOnly | StyleAutoHScroll | StyleBorder},
            {IDC_SOURCE_LABEL, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Source File:"), {65, 53, 110, 8}},
            {IDC_SELECT_FILE, ControlKind::PushButton, QString(), {246, 62, 17, 16}, StyleTabStop},
            {IDC_CONTINUE_LABEL, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Click Next to Continue..."),
             {53, 125, 130, 8}},
            {IDC_BACK, ControlKind::PushButton, QString(), {139, 146, 38, 11}, StyleTabStop},
            {IDC_HELP, ControlKind::PushButton, QString(), {94, 146, 38, 11}, StyleTabStop},
            {IDC_FIRST_HOME_PAGE, ControlKind::PushButton, QString(), {49, 146, 38, 11}, StyleTabStop},
            {IDC_BANNER, ControlKind::Bitmap, QString(), {3, 9, 47, 125}, StyleNone, IDB_BANNER},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {53, 28, 216, 57}},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {52, 93, 216, 25}},
        }};
    return t;
}

const DialogTemplate& AboutDlgTemplate()
{
    static const DialogTemplate t{
        IDD_ABOUTBOX, QStringLiteral("Tarnwick"), true, false, QStringLiteral("MS Sans Serif"), 9,
        QSize(235, 55),
        {
            {IDC_STATIC, ControlKind::Icon, QString(), {11, 17, 20, 20}, StyleNone, IDR_MAINFRAME},
            {IDOK, ControlKind::PushButton, QT_TRANSLATE_NOOP("DialogTemplate", "OK"), {178, 7, 50, 14},
             StyleTabStop | StyleDefault},
        }};
    return t;
}
