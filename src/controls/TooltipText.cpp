#include "TooltipText.h"

#include <QStringList>
#include <QTextLayout>

namespace controls {

QString WrapTooltipText(const QString& text, const QFont& font, int maxWidth)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxWidth);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
            any = true;
        }
        layout.endLayout();
        if (!any)
            lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace controls
