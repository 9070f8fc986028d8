// Writes every picture of the skin as a PNG file into the folder given on the command line.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include "Pictures.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: qcc_skingen <output folder>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        err << "cannot create " << out.path() << "\n";
        return 1;
    }
    for (const skin::PictureDef& def : skin::AllPictures()) {
        const QString path = out.filePath(def.name + ".png");
        if (!def.draw().save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
