#pragma once
// The window control that shows a TXYGraph: repaints when the graph changes,
// marks the selected X interval as a band behind the curves, and lets the
// user drag out a selection, reporting its ends through the Tool signal.
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "plot/Xygraphc.h"

class QMenu;

namespace kel {

// Shape of the drag feedback.
enum TXYSelect { xsRectangle, xsBox, xsVertical, xsHorizontal, xsLine, xsBoth };

class TXYGraphBox : public QWidget {
    Q_OBJECT
public:
    // A control owning a fresh graph, which repaints it on every change, or
    // showing `shown` (owned elsewhere, for instance by a session) when
    // given, whose owner asks for the repaints.
    explicit TXYGraphBox(QWidget* parent = nullptr, TXYGraph* shown = nullptr);
    ~TXYGraphBox() override;

    TXYGraph& XYgraph() { return *graph_; }

    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    bool Adjust() const { return adjust_; }
    void SetAdjust(bool on);
    TXYSelect Select() const { return select_; }
    void SetSelect(TXYSelect shape) { select_ = shape; }
    TColor ColorSelected() const { return colorSelected_; }
    void SetColorSelected(TColor colour);
    TColor ColorBox() const { return colorBox_; }
    void SetColorBox(TColor colour);
    // Background of the whole drawing.
    TColor Color() const { return color_; }
    void SetColor(TColor colour);
    double Selection(int index) const { return selection_[static_cast<std::size_t>(index)]; }
    // Repaints only when v differs from the stored end.
    void SetSelection(int index, double v);
    // Composes the whole picture off-screen and keeps it, so the screen never
    // shows a partly drawn graph and a drag's feedback costs no graph drawing.
    bool Animated() const { return animated_; }
    void SetAnimated(bool on);
    // Opened by the right button, which never starts a drag; not owned.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* PopupMenu() const { return popupMenu_; }

    // One line of the box beside the cursor line.
    struct TCursorLine {
        QString Text;
        QColor Color;
    };
    // The thin cursor line at column x and beside it, near row y, a box of
    // lines (control pixels); only what changed is repainted. Never drawn
    // during a drag, whose feedback it would disturb.
    void ShowCursor(int x, int y, const std::vector<TCursorLine>& lines);
    void HideCursor();
    bool CursorShown() const { return cursorShown_; }
    int CursorX() const { return cursorX_; }
    // Where the box is drawn; empty while hidden.
    QRect CursorBox() const { return cursorShown_ ? cursorBox_ : QRect(); }
    // A point of the control in the graph's pixels (they differ with Stretch).
    QPointF GraphPoint(QPointF control) const;
    // The factor one wheel notch or one +/- key zooms in by.
    static constexpr double kZoomStep = 0.8;

    bool Dragging() const { return dragging_; }
    bool Panning() const { return panning_; }
    bool Painting() const { return painting_; }
    // Schedules a repaint unless one is being painted now.
    void RequestRepaint();

signals:
    // End of a left-button drag: where it began and where the button was
    // released, in the graph's pixels (converted when Stretch is on).
    void Tool(Qt::KeyboardModifiers shift, int x0, int y0, int x1, int y1);
    void DoubleClicked();
    // The control took a new size; with Adjust the graph has it already.
    void Resized();
    // The wheel (Ctrl: the value axis) or +/-: zoom the axis by factor
    // around `at`, a column (Qt::Horizontal) or row of the graph's pixels.
    void Zoom(Qt::Orientation axis, double at, double factor);
    // A middle-button or Shift + left drag, or an arrow key, moved the
    // content by dx, dy graph pixels; PanFinished ends the move.
    void PanMoved(double dx, double dy);
    void PanFinished();
    // The mouse's back or forward button.
    void HistoryStep(bool forward);
    // The mouse moved over the control outside any drag (control pixels).
    void CursorMoved(int x, int y);
    // The mouse left the control, or Escape asked to hide the cursor.
    void CursorLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ComposeGraph(QPainter& painter);
    void DrawFeedback(QPainter& painter) const;
    QRegion FeedbackRegion() const;
    void MoveFeedback(int x, int y);
    void DrawCursor(QPainter& painter) const;
    QRegion CursorRegion() const;
    bool PanPress(QMouseEvent* event);

    std::unique_ptr<TXYGraph> owned_;
    TXYGraph* graph_;
    bool stretch_ = false;
    bool adjust_ = true;
    bool animated_ = false;
    TXYSelect select_ = xsRectangle;
    TColor colorSelected_ = 0xFFFFFF;
    TColor colorBox_ = 0xC0C0C0;
    TColor color_ = 0xFFFFFF;
    std::array<double, 2> selection_{0, 0};
    int dragX0_ = 0, dragY0_ = 0, dragX1_ = 0, dragY1_ = 0;
    bool dragging_ = false;
    bool painting_ = false;
    QImage buffer_;            // the last composed picture (Animated)
    bool bufferStale_ = true;  // the graph or the control changed since it was composed
    QMenu* popupMenu_ = nullptr;
    bool panning_ = false;
    QPointF panLast_;
    bool cursorShown_ = false;
    int cursorX_ = 0;
    QRect cursorBox_;
    std::vector<TCursorLine> cursorLines_;
};

}  // namespace kel
