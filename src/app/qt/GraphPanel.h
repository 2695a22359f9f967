#pragma once
// The window's two graph controls bound to the session: the main graph
// XYGraphBox1 (time profiles; drags make the selection) and the side graph
// XYGraphBox2 in Panel3 (D/H mode only).
#include <QPoint>
#include <QString>
#include <QWidget>

class QMenu;

namespace kel {

class TSessionBinding;
class TXYGraphBox;

class TGraphPanel : public QWidget {
    Q_OBJECT
public:
    TGraphPanel(TSessionBinding& binding, QWidget* parent = nullptr);

    TXYGraphBox* XYGraphBox1() const { return box1_; }
    TXYGraphBox* XYGraphBox2() const { return box2_; }
    void SetPopupMenu(QMenu* menu);

signals:
    // The status bar's line of the values under the cursor; empty when hidden.
    void ReadoutChanged(const QString& text);

private:
    void ConnectView();
    void ShowReadout();
    void HideReadout();
    void SelectionChanged();
    void ModesChanged();
    void PlotChanged();

    TSessionBinding& binding_;
    QWidget* panel3_;
    TXYGraphBox* box1_;
    TXYGraphBox* box2_;
    QPoint cursorAt_;          // last place of the mouse over the main graph
    bool cursorOver_ = false;  // the mouse is over the main graph, outside drags
};

}  // namespace kel
