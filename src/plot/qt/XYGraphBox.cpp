#include "plot/qt/XYGraphBox.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <exception>

#include "plot/Clipping.h"
#include "plot/qt/QtCanvas.h"

namespace kel {

namespace {

// Painting is true only while a paint runs, also when drawing fails.
class TPaintingFlag {
public:
    explicit TPaintingFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~TPaintingFlag() { flag_ = false; }
    TPaintingFlag(const TPaintingFlag&) = delete;
    TPaintingFlag& operator=(const TPaintingFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

TXYGraphBox::TXYGraphBox(QWidget* parent, TXYGraph* shown)
    : QWidget(parent), owned_(shown ? nullptr : std::make_unique<TXYGraph>()), graph_(shown ? shown : owned_.get()) {
    resize(150, 150);
    // Paint covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    // Moves without a button pressed feed the values under the cursor.
    setMouseTracking(true);
    // A graph owned elsewhere tells its owner of its changes, who asks for
    // the repaint (RequestRepaint).
    if (owned_) graph_->OnChange = [this](const void*) { RequestRepaint(); };
    RequestRepaint();
}

TXYGraphBox::~TXYGraphBox() = default;

void TXYGraphBox::RequestRepaint() {
    if (painting_) return;
    bufferStale_ = true;
    update();
}

void TXYGraphBox::SetStretch(bool on) {
    stretch_ = on;
    RequestRepaint();
}

void TXYGraphBox::SetAdjust(bool on) {
    adjust_ = on;
    RequestRepaint();
}

void TXYGraphBox::SetAnimated(bool on) {
    animated_ = on;
    if (!on) buffer_ = QImage();
    RequestRepaint();
}

void TXYGraphBox::SetColorSelected(TColor colour) {
    if (colour == colorSelected_) return;
    colorSelected_ = colour;
    RequestRepaint();
}

void TXYGraphBox::SetColorBox(TColor colour) {
    if (colour == colorBox_) return;
    colorBox_ = colour;
    RequestRepaint();
}

void TXYGraphBox::SetColor(TColor colour) {
    if (colour == color_) return;
    color_ = colour;
    RequestRepaint();
}

void TXYGraphBox::SetSelection(int index, double v) {
    double& end = selection_[static_cast<std::size_t>(index)];
    if (v == end) return;
    end = v;
    RequestRepaint();
}

void TXYGraphBox::ComposeGraph(QPainter& painter) {
    TPaintingFlag flag(painting_);
    const int w = width(), h = height();
    if (adjust_) {
        if (graph_->Height() != h) graph_->SetHeight(h);
        if (graph_->Width() != w) graph_->SetWidth(w);
    }
    painter.fillRect(0, 0, w, h, ToQColor(color_));
    painter.save();
    if (stretch_ && graph_->Width() > 0 && graph_->Height() > 0)
        painter.scale(static_cast<double>(w) / graph_->Width(), static_cast<double>(h) / graph_->Height());
    try {
        TQtCanvas canvas(painter);
        if (selection_[0] != graph_->xmin() || selection_[1] != graph_->xmax())
            canvas.FillRect(graph_->PlotRect, colorBox_);
        const TPoint p = graph_->ToPixel(selection_[0], graph_->Ymax());
        const TPoint q = graph_->ToPixel(selection_[1], graph_->Ymin());
        TPen bandPen;
        bandPen.SetColor(colorSelected_);
        TBrush bandBrush;
        bandBrush.SetColor(colorSelected_);
        canvas.SetPen(bandPen);
        canvas.SetBrush(bandBrush);
        canvas.Rectangle(p.x, p.y, q.x + 1, q.y + 1);
        graph_->Draw(canvas, TRect{0, 0, w, h});
    } catch (const std::exception& error) {
        // A paint runs inside the event loop, which no exception may cross;
        // the reason stays on screen until the graph is drawable again.
        painter.fillRect(0, 0, w, h, Qt::white);
        painter.setPen(Qt::red);
        painter.drawText(QRect(8, 8, w - 16, h - 16), Qt::TextWordWrap,
                         QStringLiteral("The graph cannot be drawn: %1").arg(QString::fromUtf8(error.what())));
    }
    painter.restore();
}

void TXYGraphBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The surface's own ratio: the screen's, or a picture's when the control
    // is rendered onto one of another resolution.
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    const QSize pixels = size() * ratio;
    const bool bufferCurrent = !bufferStale_ && buffer_.size() == pixels && buffer_.devicePixelRatioF() == ratio;
    // Outside a drag, a paint of the whole control draws straight onto the
    // surface: the buffer only pays for its copy when part of the graph must
    // be restored (a drag's strips, an uncovered corner), so it is composed
    // then, at the latest by the paint of a drag's first feedback. A first
    // paint, or one after the graph changed, is quicker without it.
    const bool wholeControl = QRegion(rect()).subtracted(event->region()).isEmpty();
    if (!animated_ || (!bufferCurrent && wholeControl && !dragging_)) {
        ComposeGraph(painter);
    } else {
        if (!bufferCurrent) {
            if (buffer_.size() != pixels) buffer_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            buffer_.setDevicePixelRatio(ratio);
            QPainter onBuffer(&buffer_);
            ComposeGraph(onBuffer);
            bufferStale_ = false;
        }
        // One pixel of the buffer onto one of the surface, limited to the
        // damaged parts by the paint's clip: during a drag that is two thin
        // strips, which is what keeps the feedback cheap. Copying rectangles
        // of the region one by one would cut them at fractions of a pixel
        // on a screen scaled by 1.25 or 1.5 and shift them.
        painter.drawImage(QPointF(0, 0), buffer_);
    }
    if (dragging_) DrawFeedback(painter);
    else if (cursorShown_ && !panning_) DrawCursor(painter);
}

void TXYGraphBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bufferStale_ = true;
    // The owner learns the new layout before the paint, so that what it
    // places in pixels can follow.
    if (adjust_) {
        graph_->SetHeight(height());
        graph_->SetWidth(width());
    }
    emit Resized();
}

void TXYGraphBox::DrawFeedback(QPainter& painter) const {
    const int w = width(), h = height();
    QPen pen(Qt::black, 1, select_ == xsRectangle ? Qt::DotLine : Qt::SolidLine);
    painter.save();
    // Inverting the pixels keeps the feedback visible on any colour; where the
    // paint engine cannot, black is the next best.
    if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRect box = QRect(QPoint(dragX0_, dragY0_), QPoint(dragX1_, dragY1_)).normalized();
    const bool vertical = select_ == xsVertical || select_ == xsBoth;
    const bool horizontal = select_ == xsHorizontal || select_ == xsBoth;
    if (select_ == xsRectangle || select_ == xsBox) {
        if (select_ == xsBox) painter.setBrush(Qt::black);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    } else if (select_ == xsLine) {
        painter.drawLine(dragX0_, dragY0_, dragX1_, dragY1_);
    }
    if (vertical) {
        painter.drawLine(dragX0_, 0, dragX0_, h);
        if (dragX1_ != dragX0_) painter.drawLine(dragX1_, 0, dragX1_, h);
    }
    if (horizontal) {
        painter.drawLine(0, dragY0_, w, dragY0_);
        if (dragY1_ != dragY0_) painter.drawLine(0, dragY1_, w, dragY1_);
    }
    painter.restore();
}

QRegion TXYGraphBox::FeedbackRegion() const {
    // A pixel of margin on each side of every line: a line one pixel wide
    // covers parts of its neighbours on a screen scaled by a fraction, and
    // the repaint must reach all it inverted.
    const int w = width(), h = height();
    QRegion region;
    const QRect box = QRect(QPoint(dragX0_, dragY0_), QPoint(dragX1_, dragY1_)).normalized();
    switch (select_) {
        case xsRectangle:
            region = QRegion(box.adjusted(-1, -1, 1, 1)).subtracted(QRegion(box.adjusted(2, 2, -2, -2)));
            break;
        case xsBox:
        case xsLine:
            region = QRegion(box.adjusted(-1, -1, 1, 1));
            break;
        default:
            break;
    }
    if (select_ == xsVertical || select_ == xsBoth)
        region += QRegion(dragX0_ - 1, 0, 3, h) + QRegion(dragX1_ - 1, 0, 3, h);
    if (select_ == xsHorizontal || select_ == xsBoth)
        region += QRegion(0, dragY0_ - 1, w, 3) + QRegion(0, dragY1_ - 1, w, 3);
    return region;
}

void TXYGraphBox::MoveFeedback(int x, int y) {
    QRegion damaged = FeedbackRegion();
    dragX1_ = x;
    dragY1_ = y;
    update(damaged + FeedbackRegion());
}

void TXYGraphBox::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (PanPress(event)) return;
    if (event->button() != Qt::LeftButton) return;
    HideCursor();
    const QPoint at = event->position().toPoint();
    dragX0_ = dragX1_ = at.x();
    dragY0_ = dragY1_ = at.y();
    dragging_ = true;
    update(FeedbackRegion());
}

void TXYGraphBox::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    if (panning_) {
        const QPointF graphAt = GraphPoint(event->position());
        const QPointF moved = graphAt - panLast_;
        panLast_ = graphAt;
        if (!moved.isNull()) emit PanMoved(moved.x(), moved.y());
        return;
    }
    if (!dragging_) {
        emit CursorMoved(at.x(), at.y());
        return;
    }
    MoveFeedback(at.x(), at.y());
}

void TXYGraphBox::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (panning_ && (event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) == 0) {
        panning_ = false;
        emit PanFinished();
        return;
    }
    if (!dragging_) return;
    // Any button ends the drag and takes its feedback away; only the left
    // one reports it.
    dragging_ = false;
    update(FeedbackRegion());
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    int x0 = dragX0_, y0 = dragY0_, x1 = at.x(), y1 = at.y();
    if (stretch_) {
        const int w = width(), h = height();
        x0 = MulDiv(x0, graph_->Width(), w);
        y0 = MulDiv(y0, graph_->Height(), h);
        x1 = MulDiv(x1, graph_->Width(), w);
        y1 = MulDiv(y1, graph_->Height(), h);
    }
    emit Tool(event->modifiers(), x0, y0, x1, y1);
}

void TXYGraphBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the pair has already reported its point; the second
    // starts no drag of its own.
    if (event->button() == Qt::LeftButton) emit DoubleClicked();
}

void TXYGraphBox::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_) popupMenu_->popup(event->globalPos());
}

}  // namespace kel
