#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>
#include <cstdlib>

namespace ui {

namespace {

bool IsSerifFace(const QString& face)
{
    const QString f = face.toLower();
    return f.contains(QLatin1String("times")) || f.contains(QLatin1String("roman"))
        || (f.contains(QLatin1String("serif")) && !f.contains(QLatin1String("sans")));
}

QFont FontAt(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString FirstInstalled(const QStringList& families)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families)
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

DialogFont ChooseSansFont()
{
    const QStringList candidates{QStringLiteral("DejaVu Sans Condensed"),
                                 QStringLiteral("DejaVu Sans"),
                                 QStringLiteral("WenQuanYi Micro Hei")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : candidates) {
        if (!installed.contains(family, Qt::CaseInsensitive))
            continue;
        for (int px = 8; px <= 24; ++px) {
            QFont font = FontAt(family, px);
            if (ComputeBaseUnits(font) == kPageBaseUnits)
                return {font, kPageBaseUnits, true};
        }
    }
    // No installed size measures (8, 16): take a size whose letters are 8 px
    // wide on average and keep the fixed units.
    QFont font = FontAt(FirstInstalled(candidates), 13);
    return {font, kPageBaseUnits, false};
}

DialogFont ChooseSerifFont(int pointSize)
{
    const QString family = FirstInstalled({QStringLiteral("DejaVu Serif Condensed"),
                                           QStringLiteral("DejaVu Serif")});
    const int px = MulDiv(pointSize, 96, 72);
    QFont font = FontAt(family, px);
    return {font, kPageBaseUnits, ComputeBaseUnits(font) == kPageBaseUnits};
}

} // namespace

int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -q : q);
}

BaseUnits ComputeBaseUnits(const QFont& font)
{
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(letters);
    return {(width / 26 + 1) / 2, metrics.height()};
}

DialogFont ChooseDialogFont(const QString& face, int pointSize)
{
    return IsSerifFace(face) ? ChooseSerifFont(pointSize) : ChooseSansFont();
}

QRect MapDialogRect(const QRect& dlu, BaseUnits units)
{
    return {MulDiv(dlu.x(), units.x, 4), MulDiv(dlu.y(), units.y, 8),
            MulDiv(dlu.width(), units.x, 4), MulDiv(dlu.height(), units.y, 8)};
}

QSize MapDialogSize(const QSize& dlu, BaseUnits units)
{
    return {MulDiv(dlu.width(), units.x, 4), MulDiv(dlu.height(), units.y, 8)};
}

} // namespace ui
