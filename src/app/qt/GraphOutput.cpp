#include "app/qt/GraphOutput.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "common/Messages.h"
#include "plot/qt/ClipboardPicture.h"

namespace kel {

bool QtGraphClipboard::PutPicture(int width, int height, const std::function<void(TCanvas&)>& draw) {
    const TClipboardPicture picture = RenderClipboardPicture(width, height, draw);
    QImage bitmap;
    if (picture.Svg.isEmpty() || !bitmap.loadFromData(picture.Png, "PNG")) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), picture.Svg);
    data->setImageData(bitmap);  // the platform offers it as PNG and its own bitmap formats
    clipboard->setMimeData(data);
    return true;
}

bool PrintWindowImage(QWidget& window, QPrinter& printer) {
    const QPixmap image = window.grab();
    if (image.isNull()) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    QRect target(QPoint(), image.size().scaled(page.size(), Qt::KeepAspectRatio));
    target.moveTopLeft(page.topLeft() + QPoint((page.width() - target.width()) / 2, 0));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image);
    return painter.end();
}

void btPrintClick(QWidget& window) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &window);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintWindowImage(window, printer)) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        ShowMessage(("Print: the printer \"" + where + "\" could not be started; nothing was printed.").toStdString());
    }
}

}  // namespace kel
