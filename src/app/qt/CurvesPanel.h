#pragma once
// The "Curves" dock beside the graph: every curve of the current mode with
// its colour, name and window mean; unticking one hides it from the graph.
#include <QDockWidget>

class QListWidget;
class QListWidgetItem;

namespace kel {

class TSessionBinding;

class TCurvesPanel : public QDockWidget {
    Q_OBJECT
public:
    // Hidden until the user shows it.
    TCurvesPanel(TSessionBinding& binding, QWidget* parent);

    QListWidget* List() const { return list_; }

private:
    // Lists the session's curves anew.
    void Refill();
    void ItemChanged(QListWidgetItem* item);

    TSessionBinding& binding_;
    QListWidget* list_;
};

}  // namespace kel
