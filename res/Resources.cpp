#include "Resources.h"

#include <QFile>
#include <QPixmap>

// The compiled resources live in a static library: register them on first
// use, since nothing else would pull their object file in. Q_INIT_RESOURCE
// must be used outside any namespace.
static void RegisterResources()
{
    Q_INIT_RESOURCE(tarnwick_res);
}

namespace {

void EnsureRegistered()
{
    static const bool registered = [] {
        RegisterResources();
        return true;
    }();
    (void)registered;
}

QString CursorPath(int id)
{
    return QStringLiteral(":/tarnwick/cursors/%1.png").arg(id);
}

}  // namespace

QImage LoadBitmapResource(int id)
{
    EnsureRegistered();
    const QString path = QStringLiteral(":/tarnwick/bitmaps/%1.bmp").arg(id);
    if (!QFile::exists(path))
        return {};
    return QImage(path, "BMP");
}

bool HasCursorResource(int id)
{
    EnsureRegistered();
    return QFile::exists(CursorPath(id));
}

QCursor LoadCursorResource(int id)
{
    if (!HasCursorResource(id))
        return QCursor(Qt::ArrowCursor);
    const QImage image(CursorPath(id), "PNG");
    const int hotX = image.text(QStringLiteral("HotSpotX")).toInt();
    const int hotY = image.text(QStringLiteral("HotSpotY")).toInt();
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

QIcon LoadIconResource(int id)
{
    EnsureRegistered();
    QIcon icon;
    for (int size : {16, 32, 48}) {
        const QString path = QStringLiteral(":/tarnwick/icons/%1-%2.png").arg(id).arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}
