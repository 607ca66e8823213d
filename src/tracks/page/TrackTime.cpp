#include "TrackTime.h"

#include <QRegularExpression>

namespace tracktime {

QString Format(Time t)
{
    const qint64 ms = std::max<qint64>(0, t / kMillisecond);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3'600'000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60'000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

std::optional<Time> Parse(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:(?:(\d{1,4}):)?(\d{1,2}):)?(\d{1,2})(?:[.,](\d{1,3}))?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const qint64 hours = m.captured(1).toLongLong();
    const qint64 minutes = m.captured(2).toLongLong();
    const qint64 seconds = m.captured(3).toLongLong();
    // Only the first field may run past its clock limit when it stands alone.
    if ((m.capturedLength(2) > 0 && seconds > 59) || (m.capturedLength(1) > 0 && minutes > 59))
        return std::nullopt;
    QString fraction = m.captured(4);
    while (fraction.size() < 3)
        fraction += QLatin1Char('0');
    const qint64 ms = ((hours * 60 + minutes) * 60 + seconds) * 1000 + fraction.toLongLong();
    return ms * kMillisecond;
}

} // namespace tracktime
