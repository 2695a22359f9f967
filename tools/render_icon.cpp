// Renders a scalable icon to PNG pictures for the desktop's icon theme:
// FOLDER/NxN/apps/NAME.png for each size N.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "Usage: kel-render-icon ICON.svg FOLDER SIZE...\n"
                     "Writes FOLDER/NxN/apps/ICON.png for each size N.\n";
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::cerr << "kel-render-icon: " << argv[1] << " is not a readable SVG picture\n";
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName() + QStringLiteral(".png");
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (!number || size < 1 || size > 1024) {
            std::cerr << "kel-render-icon: " << argv[i] << " is not an icon size\n";
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString file = folder + QLatin1Char('/') + name;
        if (!QDir().mkpath(folder) || !image.save(file)) {
            std::cerr << "kel-render-icon: cannot write " << file.toStdString() << '\n';
            return 1;
        }
    }
    return 0;
}
