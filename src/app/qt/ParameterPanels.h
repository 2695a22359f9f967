#pragma once
// The panels of numeric fields above the graph: corrections (pnCorrections,
// while "correct" is down), flow tube (pnPPB, while "ppb" is down) and
// isotope ratio (pnLIR with "Normalise to Id", while "D/H" is down).
#include <QWidget>

class QGroupBox;
class QToolButton;

namespace kel {

class TFieldBinder;
class TSessionBinding;

class TParameterPanels : public QWidget {
    Q_OBJECT
public:
    TParameterPanels(TSessionBinding& binding, QWidget* parent = nullptr);

private:
    QGroupBox* Corrections(TFieldBinder& fields);
    QGroupBox* FlowTube(TFieldBinder& fields);
    QGroupBox* IsotopeRatio(TFieldBinder& fields);
    void ModesChanged();

    TSessionBinding& binding_;
    QGroupBox* pnCorrections_;
    QGroupBox* pnPPB_;
    QGroupBox* pnLIR_;
    QToolButton* btnNormId_;
};

}  // namespace kel
