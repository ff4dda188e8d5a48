// vorlan-icon FOLDER SIZE...: writes FOLDER/<SIZE>x<SIZE>/apps/vorlan.png for
// each size, the chip logo of the Updater window drawn at that size, as a
// freedesktop icon theme folder expects. Needs no display: it draws with
// Qt's offscreen platform. Exit status 0 when every file was written.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "app/qt/logos.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: vorlan-icon FOLDER SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A build has no session: give Qt a private runtime folder rather than
    // a warning about the missing one.
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QGuiApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        const int size = QString::fromStdString(word).toInt();
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "vorlan-icon: bad size '%s' (16 to 1024)\n", word.c_str());
            return 2;
        }
        const QString sizeFolder = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = sizeFolder + QStringLiteral("/vorlan.png");
        const QImage image = vorlan::DrawChipLogo(QSize(size, size)).toImage();
        if (!QDir().mkpath(sizeFolder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "vorlan-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
