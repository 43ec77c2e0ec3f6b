// Writes the program's icon as PNG files for the desktop's icon theme, one per size, drawn by
// the same glyph code as the window icon so the two never differ.
#include "app/Glyphs.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: render_icons OUTPUT_FOLDER SIZE...\n";
        return 2;
    }
    const QDir out(args[1]);
    for (const QString& sizeText : args.mid(2)) {
        const int size = sizeText.toInt();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QStringLiteral("/wavelark.png"));
        if (size <= 0 || !out.mkpath(folder) ||
            !wl::Glyphs::pixmap(wl::Glyph::Program, size).save(file, "PNG")) {
            QTextStream(stderr) << "render_icons: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
