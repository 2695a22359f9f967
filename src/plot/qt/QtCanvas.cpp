#include "plot/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace kel {

QColor ToQColor(TColor colour) { return QColor(ColorRed(colour), ColorGreen(colour), ColorBlue(colour)); }

TQtCanvas::TQtCanvas(QPainter& painter) : painter_(painter) {
    painter_.setBackgroundMode(Qt::TransparentMode);
    SetFont(font_);
    ApplyPen();
    ApplyBrush();
}

TQtCanvas::~TQtCanvas() { Flush(); }

void TQtCanvas::Flush() {
    if (run_.size() >= 2) painter_.drawPolyline(run_.data(), static_cast<int>(run_.size()));
    run_.clear();
}

void TQtCanvas::ApplyPen() {
    if (pen_.Style() == psClear) {
        painter_.setPen(Qt::NoPen);
    } else {
        QPen pen(ToQColor(pen_.Color()), std::max(1, pen_.Width()));
        // Flat ends leave the end pixel of a line unpainted, as LineTo promises.
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter_.setPen(pen);
    }
    if (painter_.paintEngine() && painter_.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        painter_.setCompositionMode(pen_.Mode() == pmNot ? QPainter::RasterOp_NotDestination
                                                          : QPainter::CompositionMode_SourceOver);
}

void TQtCanvas::ApplyBrush() {
    if (brush_.Style() == bsClear) painter_.setBrush(Qt::NoBrush);
    else painter_.setBrush(ToQColor(brush_.Color()));
}

void TQtCanvas::SetPen(const TPen& pen) {
    if (pen == pen_) return;
    Flush();
    pen_ = pen;
    ApplyPen();
}

void TQtCanvas::SetBrush(const TBrush& brush) {
    if (brush == brush_) return;
    Flush();
    brush_ = brush;
    ApplyBrush();
}

void TQtCanvas::SetFont(const TFont& font) {
    font_ = font;
    qfont_ = QFont(QString::fromStdString(font.Name()));
    qfont_.setPixelSize(std::max(1, std::abs(font.Height())));
    qfont_.setBold(font.Style() & fsBold);
    qfont_.setItalic(font.Style() & fsItalic);
    qfont_.setUnderline(font.Style() & fsUnderline);
    qfont_.setStrikeOut(font.Style() & fsStrikeOut);
}

void TQtCanvas::SetTextAlign(unsigned flags) { align_ = flags; }

void TQtCanvas::SetBackgroundTransparent() { painter_.setBackgroundMode(Qt::TransparentMode); }

void TQtCanvas::MoveTo(int x, int y) {
    Flush();
    current_ = QPoint(x, y);
}

void TQtCanvas::LineTo(int x, int y) {
    if (run_.empty()) run_.push_back(current_);
    current_ = QPoint(x, y);
    run_.push_back(current_);
}

void TQtCanvas::Polyline(const TPoint* points, int n) {
    Flush();
    points_.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (std::size_t i = 0; i < points_.size(); ++i) points_[i] = QPoint(points[i].x, points[i].y);
    if (n >= 2) painter_.drawPolyline(points_.data(), n);
}

void TQtCanvas::Shape(int x1, int y1, int x2, int y2, bool ellipse) {
    Flush();
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    const int w = std::abs(x2 - x1), h = std::abs(y2 - y1);
    if (w == 0 || h == 0) return;
    const bool outline = pen_.Style() != psClear;
    if (!ellipse && !outline) {
        if (brush_.Style() != bsClear) painter_.fillRect(left, top, w, h, ToQColor(brush_.Color()));
        return;
    }
    // A one-pixel outline of QRect(l, t, w - 1, h - 1) covers exactly the
    // w x h cells, the right and bottom edges excluded.
    const QRect box = outline ? QRect(left, top, w - 1, h - 1) : QRect(left, top, w, h);
    if (ellipse) painter_.drawEllipse(box);
    else painter_.drawRect(box);
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) { Shape(x1, y1, x2, y2, false); }

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) { Shape(x1, y1, x2, y2, true); }

void TQtCanvas::FillRect(const TRect& r, TColor colour) {
    Flush();
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(colour));
}

void TQtCanvas::TextOut(int x, int y, std::string_view text) {
    Flush();
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    painter_.setFont(qfont_);
    const QFontMetrics metrics = painter_.fontMetrics();
    // Measured only when the alignment needs it: measuring shapes the text
    // as often as drawing it does.
    switch (align_ & taCenter) {
    case taRight: x -= metrics.horizontalAdvance(s); break;
    case taCenter: x -= metrics.horizontalAdvance(s) / 2; break;
    default: break;
    }
    switch (align_ & taBaseline) {
    case taBaseline: break;
    case taBottom: y -= metrics.descent(); break;
    default: y += metrics.ascent(); break;
    }
    const QPen pen = painter_.pen();
    painter_.setPen(ToQColor(font_.Color()));
    painter_.drawText(QPoint(x, y), s);
    painter_.setPen(pen);
}

TSize TQtCanvas::TextExtent(std::string_view text) {
    painter_.setFont(qfont_);
    const QFontMetrics metrics = painter_.fontMetrics();
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {metrics.horizontalAdvance(s), metrics.height()};
}

}  // namespace kel
