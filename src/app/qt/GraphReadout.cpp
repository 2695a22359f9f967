// The main graph's zoom, pan, view history and values under the cursor,
// bound to the session's commands.
#include <QString>

#include "app/qt/GraphPanel.h"
#include "app/qt/SessionBinding.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {

void TGraphPanel::ConnectView() {
    const auto run = [this](std::function<void(TKelViewSession&)> command) { binding_.Run(command); };
    connect(box1_, &TXYGraphBox::Zoom, this, [run](Qt::Orientation axis, double at, double factor) {
        run([=](TKelViewSession& s) {
            if (axis == Qt::Horizontal)
                s.ZoomTime(at, factor);
            else
                s.ZoomValues(at, factor);
        });
    });
    connect(box1_, &TXYGraphBox::PanMoved, this,
            [run](double dx, double dy) { run([=](TKelViewSession& s) { s.DragView(dx, dy); }); });
    connect(box1_, &TXYGraphBox::PanFinished, this, [run] { run([](TKelViewSession& s) { s.EndViewDrag(); }); });
    connect(box1_, &TXYGraphBox::HistoryStep, this, [run](bool forward) {
        run([forward](TKelViewSession& s) { forward ? s.ViewForward() : s.ViewBack(); });
    });
    connect(box1_, &TXYGraphBox::CursorMoved, this, [this](int x, int y) {
        cursorAt_ = QPoint(x, y);
        cursorOver_ = true;
        ShowReadout();
    });
    connect(box1_, &TXYGraphBox::CursorLeft, this, [this] {
        cursorOver_ = false;
        HideReadout();
    });
}

void TGraphPanel::ShowReadout() {
    const QPointF at = box1_->GraphPoint(cursorAt_);
    const TReadout readout = binding_.Session().ReadoutAt(at.x(), at.y());
    if (!readout.Shown) {
        HideReadout();
        return;
    }
    std::vector<TXYGraphBox::TCursorLine> lines;
    lines.push_back({QString::fromStdString(readout.TimeText + "  " + readout.ClockText), Qt::black});
    for (const TReadoutValue& value : readout.Values)
        lines.push_back({QString::fromStdString(value.Label + ": " + value.Value + " " + value.Unit),
                         ToQColor(value.Color)});
    box1_->ShowCursor(cursorAt_.x(), cursorAt_.y(), lines);
    box1_->setAccessibleDescription(QString::fromStdString(readout.StatusText));
    emit ReadoutChanged(QString::fromStdString(readout.StatusText));
}

void TGraphPanel::HideReadout() {
    box1_->HideCursor();
    box1_->setAccessibleDescription(QString());
    emit ReadoutChanged(QString());
}

}  // namespace kel
