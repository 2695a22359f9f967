#include "plot/qt/PictureRender.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "plot/qt/QtCanvas.h"

namespace kel {

namespace {

bool Paint(QPaintDevice& device, int width, int height, const std::function<void(TCanvas&)>& draw) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    {
        TQtCanvas canvas(painter);
        draw(canvas);
    }
    return painter.end();
}

}  // namespace

QByteArray RenderPicture(TImageFormat format, int width, int height, const std::function<void(TCanvas&)>& draw) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool ok = false;
    switch (format) {
    case TImageFormat::Png: {
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        ok = Paint(image, width, height, draw) && image.save(&buffer, "PNG");
        break;
    }
    case TImageFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle("Kelview graph");
        ok = Paint(svg, width, height, draw);
        break;
    }
    case TImageFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setCreator("Kelview");
        pdf.setResolution(72);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch));
        ok = Paint(pdf, width, height, draw);
        break;
    }
    }
    buffer.close();
    return ok ? bytes : QByteArray();
}

}  // namespace kel
