// drawassets OUTPUT_DIR: writes the program's pictures into OUTPUT_DIR
// (normally assets/). font.bmp must already be there: the splash shows text
// in the game font (tools/fontbmp/make_font_bmp.py makes it).
#include "drawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

bool save(const QImage &img, const QString &path)
{
    if (!img.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

bool saveNumbered(const QList<QImage> &images, const QDir &dir)
{
    for (qsizetype i = 0; i < images.size(); ++i) {
        if (!save(images[i], dir.filePath(QString::number(i + 1) + QLatin1String(".png"))))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: drawassets OUTPUT_DIR\n";
        return 2;
    }
    QDir out(args[1]);
    const QImage font(out.filePath(QLatin1String("font.bmp")));
    if (font.isNull()) {
        QTextStream(stderr) << "no font.bmp in " << out.path() << ": run tools/fontbmp/make_font_bmp.py first\n";
        return 1;
    }
    if (!out.mkpath(QLatin1String("tree")) || !out.mkpath(QLatin1String("toolbar"))) {
        QTextStream(stderr) << "cannot create folders in " << out.path() << '\n';
        return 1;
    }

    bool ok = saveNumbered(treeIcons(), QDir(out.filePath(QLatin1String("tree"))));
    ok = ok && saveNumbered(toolbarIcons(), QDir(out.filePath(QLatin1String("toolbar"))));
    // The strip is copied pixel for pixel into the preview: keep it 24-bit.
    ok = ok && save(frameStrip().convertToFormat(QImage::Format_RGB888), out.filePath(QLatin1String("frame.png")));
    ok = ok && save(splashPicture(font).convertToFormat(QImage::Format_RGB888), out.filePath(QLatin1String("splash.png")));
    ok = ok && save(emblem(128), out.filePath(QLatin1String("about.png")));
    ok = ok && save(emblem(64), out.filePath(QLatin1String("app.png")));
    // The desktop's icon in the sizes of the hicolor theme, each drawn at its
    // own size rather than scaled from one.
    ok = ok && out.mkpath(QLatin1String("desktop/icons"));
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        ok = ok && save(emblem(size), out.filePath(QLatin1String("desktop/icons/") + QString::number(size) + QLatin1String(".png")));
    return ok ? 0 : 1;
}
