// Writes the program's icon at the sizes of the hicolor icon theme:
//   mp-icon-sizes <icon.png> <output-folder> <size>...
// giving <output-folder>/<size>x<size>/apps/motor-protector.png for each size.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: mp-icon-sizes <icon.png> <output-folder> <size>...\n", stderr);
        return 2;
    }
    const QImage icon(arguments[1]);
    if (icon.isNull()) {
        std::fprintf(stderr, "mp-icon-sizes: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    for (const QString& text : arguments.mid(3)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "mp-icon-sizes: bad size %s\n", qPrintable(text));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[2]).arg(size);
        const QString file = folder + QStringLiteral("/motor-protector.png");
        const QImage scaled =
            icon.convertToFormat(QImage::Format_ARGB32)
                .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !scaled.save(file, "PNG")) {
            std::fprintf(stderr, "mp-icon-sizes: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
