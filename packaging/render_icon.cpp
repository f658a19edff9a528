// Draws an SVG picture into a square PNG of a given size, with Qt's own SVG renderer, the one the
// window draws its icons with: the desktop's PNG icons are made from the one SVG at build time.
// Usage: korvane-render-icon IN.svg SIZE OUT.png
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s IN.svg SIZE OUT.png\n", argv[0]);
        return 2;
    }
    // Painting paths into an image needs no application object and no display (the icon has no text).
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    bool sized = false;
    const int size = QByteArray(argv[2]).toInt(&sized);
    if (!svg.isValid() || !sized || size < 1 || size > 4096) {
        std::fprintf(stderr, "%s: cannot draw %s at size %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
