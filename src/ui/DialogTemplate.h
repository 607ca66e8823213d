#pragma once
// A dialog template: the page's size, caption and font, and its controls in
// template order (which is also the tab order), all in dialog units.

#include "DialogConstants.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

namespace ui {

enum class ControlKind {
    Static,       // text label
    Bitmap,       // static picture showing a bitmap resource
    Icon,         // static picture showing an icon resource
    GroupBox,
    RadioButton,
    CheckBox,
    PushButton,
    Edit,
    ComboBox,
    ListBox,
    ListView,
    TrackBar,
    Progress,
};

// Style flags of a control; only those the pages use.
enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleGroup = 1u << 0,           // starts a group (radio buttons)
    StyleTabStop = 1u << 1,
    StyleDefault = 1u << 2,         // default push button
    StyleReadOnly = 1u << 3,        // edit
    StyleAutoHScroll = 1u << 4,     // edit
    StyleBorder = 1u << 5,
    StyleSorted = 1u << 6,          // combo box, list box: items sorted as text
    StyleDropDownList = 1u << 7,    // combo box without edit field
    StyleDropDown = 1u << 8,        // combo box with edit field
    StyleVScroll = 1u << 9,
    StyleNoTicks = 1u << 10,        // track bar
    StyleTransparent = 1u << 11,    // track bar
    StyleNotify = 1u << 12,         // list box
    StyleNoIntegralHeight = 1u << 13,
    StyleReport = 1u << 14,         // list view: report view with a header
    StyleSingleSel = 1u << 15,      // list view
    StyleShowSelAlways = 1u << 16,  // list view
};

struct DialogControl {
    DialogControl(int controlId, ControlKind controlKind, QString controlText, QRect controlRect,
                  unsigned controlStyle = StyleNone, int controlImageId = 0,
                  QStringList controlItems = {})
        : id(controlId), kind(controlKind), text(std::move(controlText)), rect(controlRect),
          style(controlStyle), imageId(controlImageId), items(std::move(controlItems))
    {
    }

    int id;
    ControlKind kind;
    QString text;
    QRect rect;            // x, y, cx, cy in dialog units
    unsigned style;
    int imageId;           // bitmap or icon resource of a picture control
    QStringList items;     // initial items of a combo box, in template order
};

struct DialogTemplate {
    int resourceId = 0;
    QString caption;
    bool hasCaption = true;   // false: modal frame without a title bar
    bool appWindow = false;   // a window of its own with a taskbar entry
    QString fontFace;
    int fontPointSize = 0;
    QSize size;               // client area in dialog units
    std::vector<DialogControl> controls;

    const DialogControl* Find(int id) const
    {
        for (const DialogControl& c : controls)
            if (c.id == id)
                return &c;
        return nullptr;
    }
};

} // namespace ui
