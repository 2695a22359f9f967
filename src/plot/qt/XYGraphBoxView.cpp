// The graph control's zoom, pan and history input, and the cursor line with
// the box of values beside it.
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "plot/qt/XYGraphBox.h"

namespace kel {

namespace {

// One notch of a mouse wheel in angle-delta units.
constexpr double kWheelNotch = 120;
// An arrow key moves the content by this share of the plot.
constexpr double kKeyPanShare = 0.1;
constexpr int kBoxGap = 8;
constexpr int kBoxPadding = 4;

}  // namespace

QPointF TXYGraphBox::GraphPoint(QPointF control) const {
    if (!stretch_ || width() <= 0 || height() <= 0) return control;
    return {control.x() * graph_->Width() / width(), control.y() * graph_->Height() / height()};
}

bool TXYGraphBox::PanPress(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button == Qt::BackButton || button == Qt::ForwardButton) {
        emit HistoryStep(button == Qt::ForwardButton);
        return true;
    }
    const bool shiftLeft = button == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier);
    if (dragging_ || panning_ || (button != Qt::MiddleButton && !shiftLeft)) return panning_;
    HideCursor();
    panning_ = true;
    panLast_ = GraphPoint(event->position());
    return true;
}

void TXYGraphBox::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || dragging_) {
        QWidget::wheelEvent(event);
        return;
    }
    const QPointF at = GraphPoint(event->position());
    const double factor = std::pow(kZoomStep, delta / kWheelNotch);
    if (event->modifiers() & Qt::ControlModifier)
        emit Zoom(Qt::Vertical, at.y(), factor);
    else
        emit Zoom(Qt::Horizontal, at.x(), factor);
    event->accept();
}

void TXYGraphBox::keyPressEvent(QKeyEvent* event) {
    // Alt + arrows are the window's Back and Forward; only plain keys are ours.
    const bool plain = (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) == 0;
    const TRect& plot = graph_->PlotRect;
    const double across = plot.right - plot.left, down = plot.bottom - plot.top;
    const auto pan = [this](double dx, double dy) {
        emit PanMoved(dx, dy);
        emit PanFinished();
    };
    switch (plain ? event->key() : Qt::Key_unknown) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            emit Zoom(Qt::Horizontal, plot.left + across / 2, kZoomStep);
            break;
        case Qt::Key_Minus:
            emit Zoom(Qt::Horizontal, plot.left + across / 2, 1 / kZoomStep);
            break;
        // Left shows earlier times: the content moves right.
        case Qt::Key_Left:
            pan(across * kKeyPanShare, 0);
            break;
        case Qt::Key_Right:
            pan(-across * kKeyPanShare, 0);
            break;
        case Qt::Key_Up:
            pan(0, down * kKeyPanShare);
            break;
        case Qt::Key_Down:
            pan(0, -down * kKeyPanShare);
            break;
        case Qt::Key_Escape:
            if (!cursorShown_) {
                QWidget::keyPressEvent(event);
                return;
            }
            HideCursor();
            emit CursorLeft();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TXYGraphBox::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    HideCursor();
    emit CursorLeft();
}

void TXYGraphBox::ShowCursor(int x, int y, const std::vector<TCursorLine>& lines) {
    const QRegion before = CursorRegion();
    const QFontMetrics metrics(font());
    int textWidth = 0;
    for (const TCursorLine& line : lines) textWidth = std::max(textWidth, metrics.horizontalAdvance(line.Text));
    const QSize size(textWidth + 2 * kBoxPadding, static_cast<int>(lines.size()) * metrics.height() + 2 * kBoxPadding);
    // Right of the line while there is room, else left of it; never out of
    // the control at the bottom.
    int left = x + kBoxGap;
    if (left + size.width() > width()) left = x - kBoxGap - size.width();
    const int top = std::clamp(y + kBoxGap, 0, std::max(0, height() - size.height()));
    cursorBox_ = QRect(QPoint(std::max(0, left), top), size);
    cursorX_ = x;
    cursorLines_ = lines;
    cursorShown_ = true;
    update(before + CursorRegion());
}

void TXYGraphBox::HideCursor() {
    if (!cursorShown_) return;
    const QRegion before = CursorRegion();
    cursorShown_ = false;
    update(before);
}

QRegion TXYGraphBox::CursorRegion() const {
    if (!cursorShown_) return {};
    // A pixel either side of the line, for screens scaled by a fraction.
    return QRegion(cursorX_ - 1, 0, 3, height()) + QRegion(cursorBox_.adjusted(-1, -1, 1, 1));
}

void TXYGraphBox::DrawCursor(QPainter& painter) const {
    painter.save();
    // The line spans the plot area only, clear of the titles and tick labels.
    const TRect& plot = graph_->PlotRect;
    const double scale = stretch_ && graph_->Height() > 0 ? static_cast<double>(height()) / graph_->Height() : 1;
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.drawLine(QPointF(cursorX_, plot.top * scale), QPointF(cursorX_, plot.bottom * scale));
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.setBrush(QColor(255, 255, 240));
    painter.drawRect(cursorBox_.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    int baseline = cursorBox_.top() + kBoxPadding + metrics.ascent();
    for (const TCursorLine& line : cursorLines_) {
        painter.setPen(line.Color);
        painter.drawText(cursorBox_.left() + kBoxPadding, baseline, line.Text);
        baseline += metrics.height();
    }
    painter.restore();
}

}  // namespace kel
