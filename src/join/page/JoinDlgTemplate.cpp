// Template 219 (join page), in dialog units.

#include "JoinDlg.h"
#include "JoinDlgIds.h"

using namespace ui;
using namespace join_ids;

namespace {

DialogControl Skinned(int id, QRect rect)
{
    return {id, ControlKind::PushButton, QString(), rect, StyleTabStop};
}

} // namespace

const DialogTemplate& JoinDlgTemplate()
{
    // The page has a taskbar entry of its own while the first page is hidden.
    static const DialogTemplate t{
        IDD_JOIN, QStringLiteral("Tarnwick"), true, true, QStringLiteral("MS Sans Serif"), 12,
        QSize(276, 160),
        {
            Skinned(IDC_BACK, {138, 147, 38, 11}),
            Skinned(IDC_EXIT, {228, 147, 38, 11}),
            Skinned(IDC_HELP, {48, 147, 38, 11}),
            Skinned(IDC_HOME_PAGE, {93, 147, 38, 11}),
            Skinned(IDC_BEGIN, {183, 147, 38, 11}),
            {IDC_STATIC, ControlKind::Static, QT_TRANSLATE_NOOP("DialogTemplate", "Output Format:"), {56, 16, 59, 8}},
            {IDC_OUTPUT_FORMAT, ControlKind::ComboBox, QString(), {116, 16, 32, 26},
             StyleTabStop | StyleDropDownList | StyleSorted, 0, {QStringLiteral("MP3")}},
            Skinned(IDC_SETTINGS, {152, 15, 13, 14}),
            {IDC_FILES, ControlKind::ListView, QString(), {54, 38, 205, 72},
             StyleTabStop | StyleReport | StyleSingleSel | StyleShowSelAlways | StyleBorder},
            Skinned(IDC_ADD, {75, 112, 25, 24}),
            Skinned(IDC_DELETE, {104, 113, 23, 23}),
            Skinned(IDC_MOVE_UP, {131, 113, 23, 23}),
            Skinned(IDC_MOVE_DOWN, {158, 113, 23, 23}),
            Skinned(IDC_PLAY_FILE, {185, 113, 23, 23}),
            Skinned(IDC_STOP, {212, 113, 23, 23}),
            {IDC_PROGRESS, ControlKind::Progress, QString(), {79, 137, 153, 8}, StyleBorder},
            {IDC_BANNER, ControlKind::Bitmap, QString(), {3, 9, 47, 125}, StyleNone, IDB_BANNER},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {74, 107, 163, 31}},
            {IDC_STATIC, ControlKind::GroupBox, QString(), {151, 10, 15, 20}},
        }};
    return t;
}
