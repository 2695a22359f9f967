#pragma once
// The graph's canvas on a QPainter: screen widgets, images, SVG and PDF.
#include <QFont>
#include <QPainter>
#include <QPoint>
#include <vector>

#include "plot/Canvas.h"

namespace kel {

// Draws onto a painter that the caller began and ends. Consecutive LineTo
// calls are joined into one polyline, drawn when anything else is drawn or
// changed, on Flush and at destruction, so long curves cost one Qt call.
class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QPainter& painter);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    // Draws the lines still pending; the painter is then up to date.
    void Flush();

    void SetPen(const TPen& pen) override;
    void SetBrush(const TBrush& brush) override;
    void SetFont(const TFont& font) override;
    void SetTextAlign(unsigned flags) override;
    void SetBackgroundTransparent() override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const TPoint* points, int n) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void FillRect(const TRect& r, TColor colour) override;
    void TextOut(int x, int y, std::string_view text) override;
    TSize TextExtent(std::string_view text) override;

private:
    void ApplyPen();
    void ApplyBrush();
    void Shape(int x1, int y1, int x2, int y2, bool ellipse);

    QPainter& painter_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    QFont qfont_;
    unsigned align_ = taLeft | taTop;
    QPoint current_;
    std::vector<QPoint> run_;     // current position and the LineTo ends after it
    std::vector<QPoint> points_;  // scratch for Polyline
};

// The QColor of a graph colour (a palette flag is met exactly: true colour).
QColor ToQColor(TColor colour);

}  // namespace kel
