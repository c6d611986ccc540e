// Build-time program that draws the pictures, the desktop icons and synthesises the alert sound into one folder.
#include "tools/AlertSound.h"
#include "tools/Artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cstdio>

namespace {

bool writeImage(const QDir& folder, const QString& name, const QImage& image, const char* format)
{
    QSaveFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // JPEG has no alpha: flatten onto white first, so transparent edges do not turn black.
    QImage out = image;
    if (qstrcmp(format, "JPG") == 0) {
        out = QImage(image.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter painter(&out);
        painter.drawImage(0, 0, image);
    }
    // Quality matters for JPEG only; PNG keeps its default, full compression.
    const int quality = qstrcmp(format, "JPG") == 0 ? 95 : -1;
    return out.save(&file, format, quality) && file.commit();
}

bool writeBytes(const QDir& folder, const QString& name, const QByteArray& bytes)
{
    QSaveFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The sizes of the desktop's hicolor icon theme that get a picture of their own (resources/CMakeLists.txt
// installs the same list).
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool writeIcons(const QDir& folder)
{
    for (const int size : kIconSizes) {
        const QString name = QStringLiteral("darv2007-%1.png").arg(size);
        if (!writeImage(folder, name, darv::Artwork::icon(size), "PNG"))
            return false;
    }
    QBuffer svg;
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(QSize(64, 64));
    generator.setViewBox(QRectF(0, 0, 64, 64));
    generator.setTitle(QStringLiteral("DARV 2007"));
    generator.setDescription(QStringLiteral("A drawing sheet under a magnifier"));
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    darv::Artwork::paintIcon(painter, 64);
    if (!painter.end())
        return false;
    return writeBytes(folder, QStringLiteral("darv2007.svg"), svg.data());
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: darv_make_resources OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "darv_make_resources: cannot create %s\n", argv[1]);
        return 1;
    }
    using darv::Artwork;
    const bool ok = writeImage(folder, QStringLiteral("splash.jpg"), Artwork::splash(), "JPG") &&
                    writeImage(folder, QStringLiteral("banner.png"), Artwork::banner(), "PNG") &&
                    writeImage(folder, QStringLiteral("icon.png"), Artwork::icon(), "PNG") &&
                    writeImage(folder, QStringLiteral("darvlogo.jpg"), Artwork::logo(), "JPG") &&
                    writeImage(folder, QStringLiteral("darvcheck.jpg"), Artwork::allClear(), "JPG") &&
                    writeImage(folder, QStringLiteral("darvwrong.jpg"), Artwork::conflict(), "JPG") &&
                    writeImage(folder, QStringLiteral("darvlogo-print.jpg"), Artwork::printLogo(), "JPG") &&
                    writeBytes(folder, QStringLiteral("conflict.wav"), darv::AlertSound::wavFile()) &&
                    writeIcons(folder);
    if (!ok) {
        std::fprintf(stderr, "darv_make_resources: cannot write the resources into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
