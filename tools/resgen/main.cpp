// Draws every picture resource of Tarnwick (button bitmaps, banner, icon,
// hand cursor) and writes them, with a Qt resource collection listing them,
// into one folder. Optionally lays them all out on a contact sheet.
//
//   tarnwick_resgen --out DIR [--sheet FILE.png]

#include "Artwork.h"
#include "Buttons.h"
#include "Canvas.h"
#include "ContactSheet.h"
#include "Quantize.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

using namespace resgen;

namespace {

struct Output {
    QDir dir;
    QStringList files;   // relative paths, in the order written
    QString error;

    // `collect`: the file goes into the Qt resource collection too.
    bool Save(const QImage& image, const QString& relative, const char* format, bool collect = true)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, format)) {
            error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        if (collect)
            files << relative;
        return true;
    }

    bool SaveBitmap(int id, const QImage& picture, int depth)
    {
        const QImage image = depth == 8 ? ToIndexed8(picture) : picture.convertToFormat(QImage::Format_RGB32);
        return Save(image, QStringLiteral("bitmaps/%1.bmp").arg(id), "BMP");
    }

    bool WriteCollection()
    {
        QFile file(dir.filePath(QStringLiteral("tarnwick_res.qrc")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            error = QStringLiteral("cannot write %1").arg(file.fileName());
            return false;
        }
        QTextStream out(&file);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/tarnwick\">\n";
        for (const QString& relative : files)
            out << "  <file>" << relative << "</file>\n";
        out << "</qresource>\n</RCC>\n";
        return true;
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"out", "Folder for the resources and tarnwick_res.qrc.", "dir"});
    parser.addOption({"sheet", "Also write a contact sheet of every picture at 3x.", "png"});
    parser.process(app);
    if (!parser.isSet("out")) {
        std::fprintf(stderr, "tarnwick_resgen: --out is required\n");
        return 2;
    }

    QString error;
    if (!LoadFonts(&error)) {
        std::fprintf(stderr, "tarnwick_resgen: %s\n", qPrintable(error));
        return 1;
    }

    Output output{QDir(parser.value("out")), {}, {}};
    QDir().mkpath(output.dir.path());
    bool ok = true;
    for (const ButtonArt& art : ButtonTable()) {
        ok = ok && output.SaveBitmap(art.hoverId, RenderButton(art, HoverLook()), art.depth);
        ok = ok && output.SaveBitmap(art.normalId, RenderButton(art, NormalLook()), art.depth);
    }
    ok = ok && output.SaveBitmap(243, RenderBanner(), 8);
    for (int size : {16, 32, 48})
        ok = ok && output.Save(RenderIcon(size), QStringLiteral("icons/128-%1.png").arg(size), "PNG");
    // The desktop icon theme's sizes; installed only, not compiled in.
    for (int size : {16, 32, 48, 64, 128, 256})
        ok = ok && output.Save(RenderIcon(size), QStringLiteral("hicolor/tarnwick-%1.png").arg(size), "PNG", false);

    QImage cursor = RenderHandCursor();
    cursor.setText(QStringLiteral("HotSpotX"), QString::number(HandCursorHotSpot().x()));
    cursor.setText(QStringLiteral("HotSpotY"), QString::number(HandCursorHotSpot().y()));
    ok = ok && output.Save(cursor, QStringLiteral("cursors/159.png"), "PNG");

    ok = ok && output.WriteCollection();
    if (ok && parser.isSet("sheet") && !ContactSheet().save(parser.value("sheet"))) {
        output.error = QStringLiteral("cannot write %1").arg(parser.value("sheet"));
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "tarnwick_resgen: %s\n", qPrintable(output.error));
        return 1;
    }
    return 0;
}
