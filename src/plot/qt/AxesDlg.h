#pragma once
// The "Axes" dialog: ranges and logarithmic scales of a graph's two axes,
// with "Show all" fitting both axes to the curves at once.
#include <QDialog>

#include "plot/GraphAxesState.h"

class QCheckBox;
class QPushButton;

namespace kel {

class TFloatEdit;

class TAxesDlg : public QDialog {
    Q_OBJECT
public:
    TAxesDlg(TAxesTarget& target, QWidget* parent = nullptr);

    void FormShow();
    void BtnShowAllClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Closing in any way: only OK writes the fields into the graph.
    void done(int result) override;

private:
    void ShowAxes(const TAxesState& axes);

    TAxesTarget& Graph;
    TFloatEdit* FE1;
    TFloatEdit* FE2;
    TFloatEdit* FE3;
    TFloatEdit* FE4;
    QCheckBox* CB1;
    QCheckBox* CB2;
    QPushButton* Button1;
    QPushButton* btnCancel;
    QPushButton* BtnShowAll;
};

// Shows the dialog modally for target; true when it was closed with OK.
bool ShowAxesDialog(TAxesTarget& target, QWidget* parent = nullptr);

}  // namespace kel
