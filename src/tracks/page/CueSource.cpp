#include "TracksPage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QString CueSheetSource(const QString& cuePath)
{
    const QFileInfo cue(cuePath);
    const QDir folder = cue.absoluteDir();
    QStringList named;
    QFile file(cuePath);
    if (file.open(QIODevice::ReadOnly)) {
        // FILE "name" TYPE, or FILE name TYPE; the name is plain ASCII or
        // UTF-8 in every sheet whose file we could find by it.
        static const QRegularExpression line(QStringLiteral(R"re(^\s*FILE\s+(?:"([^"]*)"|(\S+))\s)re"),
                                             QRegularExpression::CaseInsensitiveOption);
        while (!file.atEnd()) {
            const QString text = QString::fromUtf8(file.readLine()).remove(QChar(0xFEFF));
            const QRegularExpressionMatch m = line.match(text);
            if (m.hasMatch())
                named << (m.capturedLength(1) > 0 ? m.captured(1) : m.captured(2));
        }
    }
    for (const QString& name : named) {
        const QString path = folder.absoluteFilePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    for (const char* suffix : {".mp3", ".wav", ".MP3", ".WAV"}) {
        const QString path = folder.absoluteFilePath(cue.completeBaseName() + QLatin1String(suffix));
        if (QFileInfo(path).isFile())
            return path;
    }
    // A sheet naming album.wav beside album.mp3 of another name is common.
    for (const QString& name : named) {
        const QString base = QFileInfo(name).completeBaseName();
        for (const char* suffix : {".mp3", ".wav"}) {
            const QString path = folder.absoluteFilePath(base + QLatin1String(suffix));
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return named.isEmpty() ? QString() : folder.absoluteFilePath(named.first());
}
